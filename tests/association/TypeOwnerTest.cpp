// The type's name comes from the dialog's file name, which whoever copies the
// dialog chooses. A type key is written into, and taken away, only when it is
// ours; another program's stays exactly as it was, and so do the extensions
// that name it.
#include "association/ClassesFixture.h"

namespace {

using namespace testing_support;
using association::AssociationResult;

class TypeOwner : public ClassesFixture {};

const std::string OurCommand = std::string("\"") + HandlerShort + "\" \"%1\"";
const std::string ElsewhereCommand = "\"C:\\Program Files (x86)\\Kvx\\Kavrex.exe\" \"%1\"";

TEST_P(TypeOwner, AnotherProgramsTypeIsNeitherTakenOverNorRemoved) {
    struct Planted {
        std::string key; // below KvxTest
        std::string name;
        std::string value; // NoValue: the key alone
    };
    const struct {
        const char* what;
        std::vector<Planted> planted;
        bool ours;
    } cases[] = {
        {"another program's: its own open command",
         {{"", "", "Text Document"}, {"Shell\\Open\\Command", "", "C:\\Windows\\notepad.exe %1"}},
         false},
        {"another program's: a print verb alone",
         {{"Shell\\Print\\Command", "", "p.exe %1"}},
         false},
        {"another program's: its own icon",
         {{"DefaultIcon", "", "C:\\Windows\\shell32.dll,1"}},
         false},
        {"another program's: a value of its own", {{"", "CLSID", "{0}"}}, false},
        {"another program's: its own name alone", {{"", "", "Text Document"}}, false},
        {"another program's: its own name beside our icon",
         {{"", "", "Text Document"}, {"DefaultIcon", "", std::string(HandlerShort) + ",0"}},
         false},
        {"another program's: a Kavrex.exe beside a value of its own",
         {{"Shell\\Open\\Command", "", ElsewhereCommand}, {"", "FriendlyTypeName", "Old"}},
         false},
        {"another program's: a relative Kavrex.exe",
         {{"Shell\\Open\\Command", "", "\"Kavrex.exe\" \"%1\""}},
         false},
        {"ours: the handler's command", {{"Shell\\Open\\Command", "", OurCommand}}, true},
        {"ours: an earlier install's in another folder",
         {{"", "", "KvxTest file"},
          {"DefaultIcon", "", "C:\\Program Files (x86)\\Kvx\\Kavrex.exe,0"},
          {"Shell\\Open\\Command", "", ElsewhereCommand}},
         true},
        {"ours: a copy moved, named by its short path in other letters",
         {{"Shell\\Open\\Command", "", "\"D:\\PORTAB~1\\KAVREX.EXE\" \"%1\""}},
         true},
        {"ours: by its long path in other letters",
         {{"Shell\\Open\\Command", "", "\"c:\\program files\\kvx tool\\KAVREX.EXE\" \"%1\""}},
         true},
        {"ours: stopped before the command",
         {{"", "", "KvxTest file"}, {"DefaultIcon", "", std::string(HandlerShort) + ",0"}},
         true},
        {"ours: an empty key", {{"", "", NoValue}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetDefault(".kvxtest", "KvxTest");
        for (const Planted& p : c.planted) {
            const std::string key = JoinPath("KvxTest", p.key);
            if (p.value == NoValue) {
                CreateKey(Api(), HKEY_CLASSES_ROOT, key);
            } else {
                SetRawValue(Api(), HKEY_CLASSES_ROOT, key, p.name, REG_SZ, p.value + '\0');
            }
        }
        const FlatTree before = Everything();
        EXPECT_EQ(c.ours ? AssociationResult::Registered : AssociationResult::Failed,
                  DialogComponent()->Associate());
        if (!c.ours) {
            EXPECT_EQ(before, Everything());
        }
        EXPECT_TRUE(DialogComponent()->Unassociate());
        if (c.ours) {
            EXPECT_TRUE(Tree("KvxTest").empty());
            EXPECT_TRUE(Tree(".kvxtest").empty());
        } else {
            EXPECT_EQ(before, Everything());
        }
        DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, ".kvxtest");
        DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, "KvxTest");
    }
}

KAVREX_ON_ALL_CLASSES(TypeOwner);

} // namespace
