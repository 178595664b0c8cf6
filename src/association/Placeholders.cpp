#include "Placeholders.h"

namespace association {

const PlaceholderProperty TypeNameProperty{"[Appname]", "Quillon32", true};
const PlaceholderProperty DescriptionProperty{"[Appname file]", "Quillon32 file", false};
const PlaceholderProperty ParamsProperty{"%1", nullptr, true};

std::string StoredValue(const PlaceholderProperty& property, const std::string& value) {
    return value.empty() ? property.placeholder : value;
}

std::string ReadBackValue(const PlaceholderProperty& property, const std::string& stored) {
    const bool legacy = property.legacy && stored == property.legacy;
    return stored.empty() || legacy ? property.placeholder : stored;
}

std::string ResolvedValue(const PlaceholderProperty& property, const std::string& stored,
                          const std::string& standsFor) {
    const bool placeholder =
        stored == property.placeholder || (stored.empty() && property.emptyIsPlaceholder);
    return placeholder ? standsFor : stored;
}

} // namespace association
