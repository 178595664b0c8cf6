#include "RegistrationJudge.h"

#include "StoredValue.h"
#include "platform/RegistryNames.h"

namespace association {
namespace {

bool Holds(platform::SystemApi& system, const TakeBackRow& row, const StoredText& stored,
           const Handler& handler) {
    if (!stored.ValueFound()) {
        return false;
    }
    switch (row.judged) {
    case Judged::AsWritten:
        return platform::SameName(stored.text, row.ours);
    case Judged::OpensHandler:
        return OpensHandler(system, stored.text, handler);
    case Judged::Present:
    case Judged::NotJudged:
        break;
    }
    return true;
}

// Which Kavrex.exe the open command starts.
enum class Started { NoKavrex, Here, Gone, Elsewhere };

Started KavrexStarted(platform::SystemApi& system, const StoredText& command,
                      const Handler& handler) {
    if (!command.ValueFound()) {
        return Started::NoKavrex;
    }
    if (OpensHandler(system, command.text, handler)) {
        return handler.exists ? Started::Here : Started::Gone;
    }
    const std::optional<KavrexElsewhere> other =
        KavrexInAnotherFolder(system, command.text, handler);
    return !other ? Started::NoKavrex : other->exists ? Started::Elsewhere : Started::Gone;
}

// The extension's default names a type key there that is not ours.
bool NamesAnotherType(platform::RegistryApi& registry, HKEY hive, const std::string& type,
                      const std::string& ours) {
    return !type.empty() && !platform::SameName(type, ours) &&
           KeyIsThere(registry, hive, platform::ClassesKey(type)) == Answer::Yes;
}

} // namespace

Registration JudgeRegistration(platform::RegistryApi& registry, platform::SystemApi& system,
                               HKEY hive, const AssociationKeys& keys, const Handler& handler) {
    bool complete = true;
    bool anyOfExtension = false;
    bool another = false;
    Started started = Started::NoKavrex;
    for (const TakeBackRow& row : TakeBackLayout(keys)) {
        if (row.judged == Judged::NotJudged) {
            continue;
        }
        const StoredText stored =
            ReadStored(registry, hive, KeyInApplicationHive(row.place), row.place.name);
        const bool holds = Holds(system, row, stored, handler);
        complete = complete && holds;
        anyOfExtension = anyOfExtension || (row.ofExtension && holds);
        another = another || (row.takeBack == TakeBack::OwnType &&
                              NamesAnotherType(registry, hive, stored.text, keys.typeName));
        if (row.judged == Judged::OpensHandler) {
            started = KavrexStarted(system, stored, handler);
        }
    }
    if (complete && started == Started::Here) {
        return Registration::Complete;
    }
    if (another || !anyOfExtension) {
        return another ? Registration::Other : Registration::Absent;
    }
    return started == Started::Gone        ? Registration::Broken
           : started == Started::Elsewhere ? Registration::Elsewhere
                                           : Registration::Incomplete;
}

} // namespace association
