// Takes back what registering wrote, walking the layout table backwards, and
// only what is still ours: another program's type, values and keys stay.
#pragma once

#include "Answer.h"
#include "ArchiveExtensions.h"
#include "AssociationLayout.h"
#include "TypeOwner.h"
#include "platform/Registry.h"

#include <optional>
#include <string>
#include <utility>

namespace association {

class Removal {
  public:
    // applicationHive: the hive whose classes HKEY_CLASSES_ROOT stands for.
    // typeOwner: whose the type key is; while it is not ours, nothing in the
    // classes that names the type is changed.
    Removal(platform::RegistryApi& registry, HKEY applicationHive, AssociationKeys keys,
            TypeOwner typeOwner)
        : registry_(registry), applicationHive_(applicationHive), keys_(std::move(keys)),
          typeOwner_(typeOwner) {}

    // The extension's type goes back to the one it had before ours, when that
    // type is still there; else our type goes from it. Our own values go with
    // it, and each of its keys left empty. True when nothing of ours is left
    // that could have been removed.
    [[nodiscard]] bool RemoveExtension(const std::string& extension);
    // The keys the extensions share go once no extension needs them: the type
    // key when no extension names it any more (neither one recorded as ours nor
    // one of the listed or built-in ones, which a release that kept no record
    // may have registered); the application's registration when it records no
    // extension: our values, each of its keys left empty, and then the entry
    // that names it.
    [[nodiscard]] bool RemoveSharedKeys(const TStringList& extensions);
    // Whether anything was deleted or given back, so that the shell is told.
    [[nodiscard]] bool Changed() const { return changed_; }

  private:
    [[nodiscard]] HKEY RootOf(Hive hive) const { return HiveRoot(hive, applicationHive_); }
    // Notes a deletion that succeeded as a change; whether the thing is gone
    // (or was never there).
    [[nodiscard]] bool RecordDeletion(LONG status);
    // Deletes the value; with expected, only when it holds that text.
    [[nodiscard]] bool DeleteValue(const LayoutPlace& place,
                                   const std::optional<std::string>& expected = std::nullopt);
    // Yes when the key is gone (or was never there), No when it holds
    // something and stays.
    [[nodiscard]] Answer DeleteKeyIfEmpty(Hive hive, const std::string& key);
    // The row's key and those above it up to its emptyUpTo, each once empty.
    [[nodiscard]] bool DeleteKeysOnceEmpty(const TakeBackRow& row);
    [[nodiscard]] bool DeleteTree(Hive hive, const std::string& key);
    [[nodiscard]] Answer HoldsOnlyOurs(platform::TRegistry& registry);
    [[nodiscard]] bool TakeBackType(const LayoutPlace& extension);
    [[nodiscard]] bool DeleteKeptValue(const LayoutPlace& place);
    [[nodiscard]] bool RemoveRegistration(const std::vector<TakeBackRow>& rows);
    // Each is Refused when a refused call keeps it from being told.
    [[nodiscard]] Answer HoldsValues(Hive hive, const std::string& key);
    [[nodiscard]] Answer AnyValueNamesType(Hive hive, const std::string& key);
    [[nodiscard]] Answer TypeStillNamed(const TStringList& extensions);

    platform::RegistryApi& registry_;
    HKEY applicationHive_;
    AssociationKeys keys_;
    TypeOwner typeOwner_;
    bool changed_ = false;
};

} // namespace association
