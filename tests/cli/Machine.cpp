#include "cli/Machine.h"

#include "association/ComponentProperties.h"
#include "cli/Cli.h"
#include "platform/ScopedRegistryApi.h"

namespace testing_support {
namespace {

std::string Text(const std::string& text) {
    return text + '\0';
}

} // namespace

const char* WayName(Way way) {
    switch (way) {
    case Way::Dialog:
        return "the dialog";
    case Way::Machine:
        return "--scope machine";
    case Way::User:
        break;
    }
    return "--scope user";
}

HKEY HiveOf(Way way) {
    return way == Way::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

Machine::Machine() {
    // Windows' own keys, which registering may create and removing leaves.
    for (const HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        CreateKey(registry, hive, "Software\\Classes");
        CreateKey(registry, hive, "Software\\RegisteredApplications");
    }
    system.AddFile(folder + L"Kavrex.exe", Wide(HandlerShortPath));
    system.AddFile(L"C:\\Other\\other.exe");
}

bool Machine::Run(Way way, bool remove) {
    if (way != Way::Dialog) {
        return Cli({remove ? "remove" : "register", "--scope",
                    way == Way::User ? "user" : "machine", "--ext", ".rar,.zip"}) == 0;
    }
    return RunComponent(HKEY_LOCAL_MACHINE, remove);
}

bool Machine::RunComponent(HKEY hive, bool remove) {
    system.SetModuleFileName(folder + L"KavrexAssoc.exe");
    platform::ScopedRegistryApi classes(registry, hive);
    association::TRegArchive archive(nullptr, {classes, system, hive});
    association::ReadComponentProperties(
        archive, association::DialogRegArchiveProperties(),
        [](association::TComponent*, const std::string&, bool& cancel) { cancel = false; });
    return remove ? archive.Unassociate()
                  : archive.Associate() == association::AssociationResult::Registered;
}

int Machine::Cli(std::vector<const char*> arguments) {
    system.SetModuleFileName(folder + L"kavrex-assoc.exe");
    console.out.clear();
    console.err.clear();
    arguments.insert(arguments.begin(), "kavrex-assoc");
    cli::Environment environment{registry, system, console};
    return cli::RunCommandLine(static_cast<int>(arguments.size()), arguments.data(), environment);
}

std::string Machine::Verdict() {
    Cli({"status", "--json"});
    const nlohmann::json status = nlohmann::json::parse(console.out, nullptr, false);
    return status.is_discarded() ? "" : status["extensions"][0]["verdict"].get<std::string>();
}

void Machine::AddOtherProgram(HKEY hive) {
    const std::string classes = "Software\\Classes\\";
    const std::string extension = classes + ".rar";
    SetRawValue(registry, hive, extension, "", REG_SZ, Text(OtherType));
    SetRawValue(registry, hive, extension, "Content Type", REG_SZ, Text("application/x-rar"));
    SetRawValue(registry, hive, extension + "\\OpenWithProgids", OtherType, REG_NONE, "");
    SetRawValue(registry, hive, extension + "\\ShellNew", "NullFile", REG_SZ, Text(""));
    SetRawValue(registry, hive, classes + OtherType + "\\Shell\\Open\\Command", "", REG_SZ,
                Text("\"C:\\Other\\other.exe\" \"%1\""));
    SetRawValue(registry, hive, "Software\\RegisteredApplications", "Other", REG_SZ,
                Text("Software\\Other\\Capabilities"));
}

bool Machine::OpensWithKavrex() {
    const std::string type = DefaultText(registry, HKEY_CLASSES_ROOT, ".rar");
    return !type.empty() &&
           DefaultText(registry, HKEY_CLASSES_ROOT, type + "\\Shell\\Open\\Command")
                   .rfind(std::string("\"") + HandlerShortPath + "\"", 0) == 0;
}

bool Machine::KeepsOtherType(HKEY hive) {
    const std::string extension = std::string("Software\\Classes\\.rar");
    const std::string other = Text(OtherType);
    return GetRawValue(registry, hive, extension, "").bytes == other ||
           GetRawValue(registry, hive, extension, "KavrexAssoc.Previous").bytes == other;
}

} // namespace testing_support
