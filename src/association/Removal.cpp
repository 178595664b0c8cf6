#include "Removal.h"

#include "KeptValue.h"
#include "LayoutWriter.h"
#include "StoredValue.h"
#include "platform/KeyContents.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace association {
namespace {

using platform::SameName;
using platform::TRegistry;

// What removal does: read values, enumerate subkeys, set and delete values.
// Deleting a key needs no right on its parent's handle ("RegDeleteKeyA").
constexpr REGSAM Rights = KEY_READ | KEY_WRITE;

// What the key holds, as its summary: nullopt when a call is refused, nothing
// (a zeroed summary) when the key is not there.
std::optional<platform::KeySummary> Contents(TRegistry& registry, const std::string& key) {
    platform::KeySummary summary{};
    if (const LONG opened = registry.OpenPathStatus("\\" + key, false)) {
        return platform::IsNotFound(opened) ? std::optional(summary) : std::nullopt;
    }
    if (!registry.QueryKeySummary(summary)) {
        return std::nullopt;
    }
    return summary;
}

// The names of the current key's values; false when they cannot be listed.
bool ValueNames(platform::RegistryApi& api, TRegistry& registry, std::vector<std::string>& names) {
    std::vector<platform::NamedValue> values;
    if (platform::KeyContents(api, registry.CurrentHandle()).Values(false, values) !=
        ERROR_SUCCESS) {
        return false;
    }
    for (const platform::NamedValue& value : values) {
        names.push_back(value.name);
    }
    return true;
}

} // namespace

bool Removal::RecordDeletion(LONG status) {
    changed_ |= status == ERROR_SUCCESS;
    return status == ERROR_SUCCESS || platform::IsNotFound(status);
}

bool Removal::DeleteValue(const LayoutPlace& place, const std::optional<std::string>& expected) {
    TRegistry registry(registry_, Rights);
    registry.SetRoot(RootOf(place.hive));
    if (const LONG opened = registry.OpenPathStatus("\\" + place.key, false)) {
        return platform::IsNotFound(opened);
    }
    std::string stored;
    if (expected && registry.ReadTextStatus(place.name, stored) == ERROR_SUCCESS &&
        !SameName(stored, *expected)) {
        return true; // another program's
    }
    return RecordDeletion(registry.DeleteValueStatus(place.name));
}

Answer Removal::DeleteKeyIfEmpty(Hive hive, const std::string& key) {
    TRegistry registry(registry_, Rights);
    registry.SetRoot(RootOf(hive));
    const std::optional<platform::KeySummary> contents = Contents(registry, key);
    if (!contents || contents->SubKeyCount != 0 || contents->ValueCount != 0) {
        return contents ? Answer::No : Answer::Refused;
    }
    registry.CloseCurrent();
    return RecordDeletion(registry.DeleteTreeStatus("\\" + key)) ? Answer::Yes : Answer::Refused;
}

bool Removal::DeleteKeysOnceEmpty(const TakeBackRow& row) {
    if (row.emptyUpTo.empty()) {
        return true;
    }
    for (std::string key = row.place.key; platform::IsWithinPath(key, row.emptyUpTo);
         key = platform::ParentPath(key)) {
        const Answer gone = DeleteKeyIfEmpty(row.place.hive, key);
        if (gone != Answer::Yes) {
            return gone == Answer::No; // it holds something: it and the keys above it stay
        }
        if (key.size() == row.emptyUpTo.size()) {
            break;
        }
    }
    return true;
}

bool Removal::DeleteTree(Hive hive, const std::string& key) {
    TRegistry registry(registry_, Rights);
    registry.SetRoot(RootOf(hive));
    return RecordDeletion(registry.DeleteTreeStatus("\\" + key));
}

// Whether the current key, an extension's, holds no subkey and no value but
// its default and the kept value.
Answer Removal::HoldsOnlyOurs(TRegistry& registry) {
    platform::KeySummary summary;
    std::vector<std::string> names;
    if (!registry.QueryKeySummary(summary) || !ValueNames(registry_, registry, names)) {
        return Answer::Refused;
    }
    const std::string kept = LayoutValue(KeyRole::KeptValue, keys_).name;
    return AnswerOf(summary.SubKeyCount == 0 &&
                    std::all_of(names.begin(), names.end(), [&kept](const std::string& name) {
                        return name.empty() || SameName(name, kept);
                    }));
}

// The extension's default value, when it is ours: the kept value when there
// is one to give back, else nothing. A default value that is another
// program's stays, and that is no failure; one that cannot be read stays too,
// and that is.
bool Removal::TakeBackType(const LayoutPlace& extension) {
    TRegistry registry(registry_, Rights);
    registry.SetRoot(RootOf(extension.hive));
    if (const LONG opened = registry.OpenPathStatus("\\" + extension.key, false)) {
        return platform::IsNotFound(opened);
    }
    platform::RegistryValue owner;
    if (const LONG read = registry.ReadValueStatus(extension.name, owner)) {
        return platform::IsNotFound(read);
    }
    if (!OursToReplace(owner, keys_.typeName)) {
        return true;
    }
    const Kept giveBack = KeptValueToGiveBack(registry_, keys_);
    if (giveBack.answer == Answer::Refused) {
        return false; // whatever is done could lose what it had
    }
    if (!giveBack.value) {
        // A key left empty goes in the same call, so that no empty key of the
        // user's hides the machine's from HKEY_CLASSES_ROOT meanwhile.
        const Answer onlyOurs = HoldsOnlyOurs(registry);
        if (onlyOurs == Answer::Yes) {
            registry.CloseCurrent();
            return RecordDeletion(registry.DeleteTreeStatus("\\" + extension.key));
        }
        return onlyOurs == Answer::No && RecordDeletion(registry.DeleteValueStatus(extension.name));
    }
    if (registry.WriteValueStatus(extension.name, *giveBack.value) != ERROR_SUCCESS) {
        return false;
    }
    changed_ = true;
    return true;
}

// The kept value goes. A registration running at once may have switched the
// extension to ours since it was read: then the value is put back, so that
// what it keeps is never lost, and the extension is not removed. Where the
// put-back is refused, the value goes back to the extension's default itself,
// which ends that registration rather than lose another program's type.
bool Removal::DeleteKeptValue(const LayoutPlace& place) {
    const StoredText kept = ReadStored(registry_, RootOf(place.hive), place.key, place.name);
    if (!kept.ValueFound()) {
        return kept.Known();
    }
    if (!DeleteValue(place)) {
        return false;
    }
    const std::optional<std::string> type = CurrentType(registry_, keys_);
    if (type && !SameName(*type, keys_.typeName)) {
        return true;
    }
    if (!WriteRows(registry_, applicationHive_, {{place, kept.value, true}})) {
        const LayoutPlace extension = LayoutValue(KeyRole::Extension, keys_);
        changed_ |= static_cast<bool>(
            WriteRows(registry_, applicationHive_, {{extension, kept.value, true}}));
    }
    return false;
}

bool Removal::RemoveExtension(const std::string& extension) {
    keys_.extension = extension;
    if (extension.empty()) {
        return true; // that would name the root of the classes: nothing of ours
    }
    bool removed = true;
    // In reverse writing order: "Open with", then the switch back, then what
    // nothing reads any more.
    for (const TakeBackRow& row : TakeBackLayout(keys_)) {
        if (row.place.hive == Hive::Classes && !MayTakeType(typeOwner_)) {
            // Another program's type: what names it is that program's.
            removed &= typeOwner_ != TypeOwner::Unknown;
            continue;
        }
        switch (row.takeBack) {
        case TakeBack::OwnType:
            if (!TakeBackType(row.place)) {
                return false; // it still names ours: what it keeps stays with it
            }
            break;
        case TakeBack::KeptValue:
            removed &= DeleteKeptValue(row.place);
            break;
        case TakeBack::Value:
        case TakeBack::ValueIfOurs:
            removed &= DeleteValue(row.place, row.takeBack == TakeBack::ValueIfOurs
                                                  ? std::optional(row.ours)
                                                  : std::nullopt);
            break;
        default:
            continue; // the keys the extensions share
        }
        removed &= DeleteKeysOnceEmpty(row);
    }
    return removed;
}

Answer Removal::HoldsValues(Hive hive, const std::string& key) {
    TRegistry registry(registry_, KEY_READ);
    registry.SetRoot(RootOf(hive));
    const std::optional<platform::KeySummary> contents = Contents(registry, key);
    return contents ? AnswerOf(contents->ValueCount != 0) : Answer::Refused;
}

Answer Removal::AnyValueNamesType(Hive hive, const std::string& key) {
    TRegistry registry(registry_, KEY_READ);
    registry.SetRoot(RootOf(hive));
    if (const LONG opened = registry.OpenPathStatus("\\" + key, false)) {
        return platform::IsNotFound(opened) ? Answer::No : Answer::Refused;
    }
    std::vector<std::string> names;
    if (!ValueNames(registry_, registry, names)) {
        return Answer::Refused;
    }
    for (const std::string& name : names) {
        std::string type;
        const LONG read = registry.ReadTextStatus(name, type);
        if (read != ERROR_SUCCESS && read != ERROR_INVALID_DATATYPE) {
            return Answer::Refused;
        }
        if (read == ERROR_SUCCESS && SameName(type, keys_.typeName)) {
            return Answer::Yes;
        }
    }
    return Answer::No;
}

Answer Removal::TypeStillNamed(const TStringList& extensions) {
    const Answer recorded =
        AnyValueNamesType(Hive::Application, LayoutKey(KeyRole::FileAssociation, keys_));
    if (recorded != Answer::No) {
        return recorded;
    }
    TStringList candidates = DefaultArchiveExtensionList();
    candidates.insert(candidates.end(), extensions.begin(), extensions.end());
    AssociationKeys keys = keys_;
    for (const std::string& extension : candidates) {
        keys.extension = extension;
        const std::optional<std::string> type = CurrentType(registry_, keys);
        if (!type || SameName(*type, keys.typeName)) {
            return type ? Answer::Yes : Answer::Refused;
        }
    }
    return Answer::No;
}

// Our values go, then each of its keys that is left empty, and the entry that
// names the registration once its key is gone. So what another program keeps
// there stays, and so does the entry that leads to it.
bool Removal::RemoveRegistration(const std::vector<TakeBackRow>& rows) {
    bool removed = true;
    for (const TakeBackRow& row : rows) {
        if (row.takeBack == TakeBack::RegistrationValue) {
            removed &= DeleteValue(row.place);
            removed &= DeleteKeysOnceEmpty(row);
        }
    }
    for (const TakeBackRow& row : rows) {
        if (row.takeBack == TakeBack::PointerOnceGone) {
            const Answer named = KeyIsThere(registry_, RootOf(row.place.hive), row.ours);
            removed &=
                named == Answer::Yes || (named == Answer::No && DeleteValue(row.place, row.ours));
        }
    }
    return removed;
}

bool Removal::RemoveSharedKeys(const TStringList& extensions) {
    const std::vector<TakeBackRow> rows = TakeBackLayout(keys_);
    // An empty name would be the root of the classes.
    const Answer named = keys_.typeName.empty() ? Answer::Yes : TypeStillNamed(extensions);
    bool removed = named != Answer::Refused;
    for (const TakeBackRow& row : rows) {
        if (named == Answer::No && row.takeBack == TakeBack::TypeKey && MayTakeType(typeOwner_)) {
            removed &= DeleteTree(row.place.hive, row.place.key);
        }
    }
    // The registration stays while it records any extension.
    const Answer recorded =
        HoldsValues(Hive::Application, LayoutKey(KeyRole::FileAssociation, keys_));
    if (recorded != Answer::No) {
        return recorded == Answer::Yes && removed;
    }
    return RemoveRegistration(rows) && removed;
}

} // namespace association
