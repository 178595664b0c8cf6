// Registering: the layout written, the result codes, the check that comes first.
#include "association/ClassesFixture.h"
#include "platform/ProcessPaths.h"

namespace {

using namespace testing_support;
using association::AssociationResult;
using association::TRegArchive;

class Associate : public ClassesFixture {};

ClassesTree DialogLayout(const std::string& extension) {
    return {
        {extension, "KvxTest"},
        {extension + "\\OpenWithProgids", NoValue},
        {"KvxTest", "KvxTest file"},
        {"KvxTest\\DefaultIcon", "C:\\PROGRA~1\\KVXTOO~1\\Kavrex.exe,0"},
        {"KvxTest\\Shell", NoValue},
        {"KvxTest\\Shell\\Open", NoValue},
        {"KvxTest\\Shell\\Open\\Command", "\"C:\\PROGRA~1\\KVXTOO~1\\Kavrex.exe\" \"%1\""},
    };
}

ClassesTree Merged(ClassesTree a, const ClassesTree& b) {
    a.insert(b.begin(), b.end());
    return a;
}

TEST_P(Associate, WritesTheLayoutForTheDialogsSettings) {
    const auto rootBefore = RootKeys();
    auto component = DialogComponent({".rar"});
    EXPECT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_EQ(1, confirmations_);
    EXPECT_EQ(HandlerShort, component->HandlerPath());
    EXPECT_EQ(DialogLayout(".rar"), Merged(Tree(".rar"), Tree("KvxTest")));
    ASSERT_EQ(1u, system_.Notifications().size());
    EXPECT_EQ(SHCNE_ASSOCCHANGED, system_.Notifications()[0].eventId);
    EXPECT_EQ(SHCNF_IDLIST, system_.Notifications()[0].flags);
    EXPECT_FALSE(system_.Notifications()[0].withItems);

    EXPECT_EQ((std::set<std::string>{".rar", "KvxTest"}), NewRootKeys(rootBefore));
}

TEST_P(Associate, WritesACustomisedLayoutForEveryExtension) {
    auto component = DialogComponent({".kvxtest", ".exe", ".kvxtest2"});
    component->SetExtDescription("MyType");
    component->SetFileDescription("My archives");
    component->IconIndex = 3;
    component->MenuName = "Open with Kavrex";
    component->SetParamString("-x \"%1\"");
    EXPECT_EQ(AssociationResult::Registered, component->Associate());

    const ClassesTree expected = {
        {".kvxtest", "MyType"},
        {".kvxtest\\OpenWithProgids", NoValue},
        {".kvxtest2", "MyType"},
        {".kvxtest2\\OpenWithProgids", NoValue},
        {"MyType", "My archives"},
        {"MyType\\DefaultIcon", "C:\\PROGRA~1\\KVXTOO~1\\Kavrex.exe,3"},
        {"MyType\\Shell", NoValue},
        {"MyType\\Shell\\Open", "Open with Kavrex"},
        {"MyType\\Shell\\Open\\Command", "\"C:\\PROGRA~1\\KVXTOO~1\\Kavrex.exe\" \"-x \"%1\"\""},
    };
    EXPECT_EQ(expected, Merged(Merged(Tree(".kvxtest"), Tree(".kvxtest2")), Tree("MyType")));
    EXPECT_EQ(1u, system_.Notifications().size());
}

// Each property that may hold a placeholder: what its getter reads back and
// what Associate writes, never set (as a component made in code), set empty, set
// to the placeholder, to the legacy value, and to a value of its own.
TEST_P(Associate, EachPlaceholderPropertyReadsBackAndWritesAsItsRuleSays) {
    enum Property { Type, Description, Params };
    const struct {
        Property property;
        const char* set; // null: never set
        const char* readBack;
        const char* written;
    } cases[] = {
        {Type, nullptr, "[Appname]", "KvxTest"},
        {Type, "", "[Appname]", "KvxTest"},
        {Type, "[Appname]", "[Appname]", "KvxTest"},
        {Type, "Quillon32", "[Appname]", "Quillon32"},
        {Type, "quillon32", "quillon32", "quillon32"},
        {Description, nullptr, "[Appname file]", ""},
        {Description, "", "[Appname file]", "KvxTest file"},
        {Description, "[Appname file]", "[Appname file]", "KvxTest file"},
        {Description, "Quillon32 file", "[Appname file]", "Quillon32 file"},
        {Description, "Mine", "Mine", "Mine"},
        {Params, nullptr, "%1", "\"%1\""},
        {Params, "", "%1", "\"%1\""},
        {Params, "-x %1", "-x %1", "\"-x %1\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.property) + ": " + (c.set ? c.set : "never set"));
        TRegArchive component(nullptr, Platform());
        component.OnAssociation = [](association::TComponent*, const std::string&, bool& cancel) {
            cancel = false;
        };
        component.SetArcExtensions({".kvxtest"});
        const std::string set = c.set ? c.set : "";
        std::string readBack;
        if (c.property == Type) {
            if (c.set) {
                component.SetExtDescription(set);
            }
            readBack = component.ExtDescription();
        } else if (c.property == Description) {
            if (c.set) {
                component.SetFileDescription(set);
            }
            readBack = component.FileDescription();
        } else {
            if (c.set) {
                component.SetParamString(set);
            }
            readBack = component.ParamString();
        }
        EXPECT_EQ(c.readBack, readBack);
        ASSERT_EQ(AssociationResult::Registered, component.Associate());
        const std::string type = DefaultText(Api(), HKEY_CLASSES_ROOT, ".kvxtest");
        const std::string command =
            DefaultText(Api(), HKEY_CLASSES_ROOT, type + "\\Shell\\Open\\Command");
        const std::string written[] = {type, DefaultText(Api(), HKEY_CLASSES_ROOT, type),
                                       command.substr(command.find(' ') + 1)};
        EXPECT_EQ(c.written, written[c.property]);
        DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, ".kvxtest");
        DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, type);
    }
}

TEST_P(Associate, TheTypeNameIsTheProgramsNameBeforeItsFirstDot) {
    system_.SetModuleFileName(L"C:\\Program Files\\Kvx Tool\\KvxTest.Setup.exe");
    std::string asked;
    auto component = DialogComponent();
    component->OnAssociation = [&](association::TComponent* sender, const std::string& name,
                                   bool& cancel) {
        EXPECT_EQ(component.get(), sender);
        EXPECT_TRUE(cancel);
        asked = name;
        cancel = false;
    };
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_EQ("KvxTest", asked);
    EXPECT_EQ("KvxTest", DefaultText(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
}

TEST_P(Associate, RegistersAgainBecauseTheCheckLooksForTheRunningProgram) {
    auto component = DialogComponent();
    EXPECT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_FALSE(component->IsAssociated());
    EXPECT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_EQ(2, confirmations_);
    EXPECT_EQ(DialogLayout(".kvxtest"), Merged(Tree(".kvxtest"), Tree("KvxTest")));
}

TEST_P(Associate, IsAlreadyAssociatedWhenEveryCommandNamesTheRunningProgram) {
    for (const char* extension : {".kvxtest", ".kvxtest2"}) {
        SetDefault(extension, "OtherType");
    }
    SetDefault("OtherType\\Shell\\Open\\Command", std::string("\"") + ProgramShort + "\" \"%1\"");
    auto component = DialogComponent({".kvxtest", ".kvxtest2"});
    EXPECT_TRUE(component->IsAssociated());
    EXPECT_EQ(AssociationResult::AlreadyAssociated, component->Associate());
    EXPECT_EQ(0, confirmations_);
    EXPECT_TRUE(system_.Notifications().empty());

    // The comparison is exact: another letter case is another program.
    std::string lower = ProgramShort;
    lower[0] = 'c';
    SetDefault("OtherType\\Shell\\Open\\Command", lower + " %1");
    EXPECT_FALSE(component->IsAssociated());
}

TEST_P(Associate, TheCheckCreatesNothing) {
    const auto rootBefore = RootKeys();
    auto component = DialogComponent({".kvxtest"});
    EXPECT_FALSE(component->IsAssociated());
    EXPECT_TRUE(NewRootKeys(rootBefore).empty());
    SetDefault(".kvxtest", "KvxTest");
    EXPECT_FALSE(component->IsAssociated());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, "KvxTest"));
}

TEST_P(Associate, AnEmptyOrExeOnlyListIsAlreadyAssociated) {
    for (const std::vector<std::string>& list :
         {std::vector<std::string>{}, std::vector<std::string>{".exe", ".EXE"}}) {
        auto component = DialogComponent(list);
        EXPECT_EQ(AssociationResult::AlreadyAssociated, component->Associate());
    }
    EXPECT_EQ(0, confirmations_);
    EXPECT_TRUE(system_.Notifications().empty());
}

TEST_P(Associate, RefusesInDesignModeOrWithoutConfirmation) {
    auto component = DialogComponent();
    component->SetDesigning(true);
    component->OnAssociation = nullptr;
    EXPECT_EQ(AssociationResult::DesignMode, component->Associate());
    EXPECT_EQ("", component->HandlerPath());
    component->SetDesigning(false);
    EXPECT_EQ(AssociationResult::EventNotSet, component->Associate());
    EXPECT_EQ("", component->HandlerPath());

    component->OnAssociation = [](association::TComponent*, const std::string&, bool&) {};
    EXPECT_EQ(AssociationResult::Cancelled, component->Associate());
    EXPECT_TRUE(Tree(".kvxtest").empty());
    EXPECT_TRUE(Tree("KvxTest").empty());
    EXPECT_TRUE(system_.Notifications().empty());
}

TEST_P(Associate, WithoutAShortPathTheHandlerIsNamedByItsLongPath) {
    system_.SetModuleFileName(L"C:\\Elsewhere\\KvxTest.exe");
    system_.AddFile(L"C:\\Elsewhere\\Kavrex.exe"); // a volume without short names
    auto component = DialogComponent();
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_EQ("C:\\Elsewhere\\Kavrex.exe", component->HandlerPath());
    EXPECT_EQ("\"C:\\Elsewhere\\Kavrex.exe\" \"%1\"",
              DefaultText(Api(), HKEY_CLASSES_ROOT, "KvxTest\\Shell\\Open\\Command"));
}

// A command that names a program that is not there would open nothing: nothing
// is written, and the result says so, before anyone is asked to confirm.
TEST_P(Associate, WithoutTheHandlerNothingIsWritten) {
    system_.SetModuleFileName(L"C:\\Elsewhere\\KvxTest.exe");
    auto component = DialogComponent();
    EXPECT_EQ(AssociationResult::Failed, component->Associate());
    EXPECT_EQ(0, confirmations_);
    EXPECT_TRUE(RootKeys().empty());
    EXPECT_TRUE(system_.Notifications().empty());
}

// Installed in a folder that the ANSI code page cannot spell: the short path
// can, and it names the real handler.
TEST_P(Associate, AFolderTheCodePageCannotSpellIsNamedByItsShortPath) {
    const std::wstring folder = L"C:\\\u041a\u0430\u0432\u0440\\";
    system_.SetModuleFileName(folder + L"KvxTest.exe");
    system_.AddFile(folder + L"KvxTest.exe", L"C:\\KAVR~1\\KvxTest.exe");
    system_.AddFile(folder + L"Kavrex.exe", L"C:\\KAVR~1\\Kavrex.exe");
    auto component = DialogComponent();
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_EQ("\"C:\\KAVR~1\\Kavrex.exe\" \"%1\"",
              DefaultText(Api(), HKEY_CLASSES_ROOT, "KvxTest\\Shell\\Open\\Command"));
    SetDefault("KvxTest\\Shell\\Open\\Command", "\"C:\\KAVR~1\\KvxTest.exe\" \"%1\"");
    EXPECT_TRUE(component->IsAssociated());
}

// With the UTF-8 code page that the programs' manifests ask for, a folder of
// any script is spelled as it is: without short names the long path is written,
// and it names the real handler.
TEST_P(Associate, UnderUtf8AFolderOfAnyScriptIsNamedAsItIs) {
#ifdef _WIN32
    if (GetParam() == Backend::Windows && ::GetACP() != CP_UTF8) {
        GTEST_SKIP() << "the real registry reads the test's own code page";
    }
#endif
    system_.SetAnsiCodePage(CP_UTF8);
    const struct {
        const wchar_t* folder;
        const char* utf8;
    } cases[] = {
        {L"D:\\\u0395\u03c1\u03b3\u03b1\u03bb\u03b5\u03af\u03b1\\",
         "D:\\\xce\x95\xcf\x81\xce\xb3\xce\xb1\xce\xbb\xce\xb5\xce\xaf\xce\xb1\\"},
        {L"D:\\\u30c4\u30fc\u30eb\\", "D:\\\xe3\x83\x84\xe3\x83\xbc\xe3\x83\xab\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        system_.SetModuleFileName(std::wstring(c.folder) + L"KvxTest.exe");
        system_.AddFile(std::wstring(c.folder) + L"Kavrex.exe"); // no short names
        auto component = DialogComponent();
        ASSERT_EQ(AssociationResult::Registered, component->Associate());
        EXPECT_EQ("\"" + std::string(c.utf8) + "Kavrex.exe\" \"%1\"",
                  DefaultText(Api(), HKEY_CLASSES_ROOT, "KvxTest\\Shell\\Open\\Command"));
        SetDefault("KvxTest\\Shell\\Open\\Command",
                   "\"" + std::string(c.utf8) + "KvxTest.exe\" \"%1\"");
        EXPECT_TRUE(component->IsAssociated());
        EXPECT_TRUE(component->Unassociate());
        EXPECT_TRUE(RootKeys().empty());
    }
}

// A path or name that cannot be spelled is never written in a wrong spelling:
// nothing is written, the result says so, and the check says no.
TEST_P(Associate, AnUnspellablePathOrNameWritesNothing) {
    const struct {
        const char* what;
        const wchar_t* program;
        bool shortNames;
    } cases[] = {
        {"folder without short names", L"C:\\\u041a\u0430\u0432\u0440\\KvxTest.exe", false},
        {"program name", L"C:\\Tools\\\u041a\u0430\u0432\u0440.exe", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        system_.SetModuleFileName(c.program);
        const std::wstring folder = platform::DirectoryPart(c.program);
        system_.AddFile(c.program, c.shortNames ? L"C:\\TOOLS\\KAVR~1.EXE" : L"");
        system_.AddFile(folder + L"Kavrex.exe", c.shortNames ? L"C:\\TOOLS\\Kavrex.exe" : L"");
        auto component = DialogComponent();
        EXPECT_EQ(AssociationResult::Failed, component->Associate());
        EXPECT_TRUE(RootKeys().empty());
        EXPECT_FALSE(component->IsAssociated());
    }
}

// Every walk passes over ".exe", also when it reached the list without the setter.
TEST_P(Associate, EveryWalkPassesOverExeInTheOwnedList) {
    auto component = DialogComponent({".kvxtest"});
    component->ArcExtensions().push_back(".EXE");
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_EQ((std::vector<std::string>{".kvxtest", "KvxTest"}), RootKeys());

    SetDefault("KvxTest\\Shell\\Open\\Command", std::string("\"") + ProgramShort + "\"");
    EXPECT_TRUE(component->IsAssociated());

    SetDefault(".EXE", "KvxTest");
    EXPECT_TRUE(component->Unassociate());
    EXPECT_EQ((std::vector<std::string>{".EXE"}), RootKeys());
}

TEST_P(Associate, AnEmptyTypeNameWritesNothingAtTheRoot) {
    system_.SetModuleFileName(L"C:\\Program Files\\Kvx Tool\\.kvx.exe");
    const auto rootBefore = RootKeys();
    const std::string rootDefault = DefaultText(Api(), HKEY_CLASSES_ROOT, "");
    auto component = DialogComponent({".kvxtest", ""});
    EXPECT_EQ(AssociationResult::Failed, component->Associate());
    EXPECT_TRUE(NewRootKeys(rootBefore).empty());
    EXPECT_EQ(rootDefault, DefaultText(Api(), HKEY_CLASSES_ROOT, ""));
}

TEST_P(Associate, TheLoadedNotificationRegistersWhenAskedTo) {
    auto component = DialogComponent(); // ActivateOnStartup false: nothing happened
    EXPECT_EQ(0, confirmations_);
    component->BeginLoading();
    component->ActivateOnStartup = true;
    component->EndLoading();
    EXPECT_EQ(1, confirmations_);
    EXPECT_EQ("KvxTest", DefaultText(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
}

KAVREX_ON_ALL_CLASSES(Associate);

} // namespace
