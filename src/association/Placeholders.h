// The component's properties whose stored text may be a placeholder: what the
// setter stores, what the getter reads back, and what an association writes,
// all from one row each, so that the three cannot drift apart.
//
//   property         placeholder      read back as it too   empty is written as
//   ExtDescription   [Appname]        Quillon32             the placeholder's text
//   FileDescription  [Appname file]   Quillon32 file        empty
//   ParamString      %1               -                     the placeholder's text
#pragma once

#include <string>

namespace association {

struct PlaceholderProperty {
    const char* placeholder;
    const char* legacy;      // a stored value that reads back as the placeholder, or null
    bool emptyIsPlaceholder; // an empty stored value is written as the placeholder stands
};

extern const PlaceholderProperty TypeNameProperty;    // ExtDescription
extern const PlaceholderProperty DescriptionProperty; // FileDescription
extern const PlaceholderProperty ParamsProperty;      // ParamString

// The part of a file name before its first "."; all of it without a dot. The
// "[Appname]" placeholder stands for the running program's base name.
template <typename Text> Text BaseName(const Text& fileName) {
    return fileName.substr(0, fileName.find('.'));
}

// What the setter stores: the placeholder for an empty value.
std::string StoredValue(const PlaceholderProperty& property, const std::string& value);
// What the getter returns: the placeholder for an empty or legacy stored value.
std::string ReadBackValue(const PlaceholderProperty& property, const std::string& stored);
// What an association writes: what the placeholder stands for where the stored
// value is it, the stored value otherwise.
std::string ResolvedValue(const PlaceholderProperty& property, const std::string& stored,
                          const std::string& standsFor);

} // namespace association
