// The component's defaults, properties and text helpers: no registry involved.
#include "association/RegArchive.h"
#include "emulation/EmulatedRegistryApi.h"
#include "emulation/EmulatedSystemApi.h"

#include <gtest/gtest.h>

namespace {

using association::TRegArchive;
using association::TStringList;

class RegArchiveProperties : public ::testing::Test {
  protected:
    emulation::EmulatedRegistryApi registry;
    emulation::EmulatedSystemApi system;
    TRegArchive component{nullptr, {registry, system}};
};

TEST_F(RegArchiveProperties, ANewComponentHasTheBuiltInDefaults) {
    const TStringList expected = {".ACE", ".ARC", ".ARJ", ".BH",  ".CAB", ".ENC", ".GZ",  ".HA",
                                  ".JAR", ".LHA", ".LZH", ".PAK", ".PK3", ".PK_", ".RAR", ".TAR",
                                  ".TGZ", ".UUE", ".UU",  ".WAR", ".XXE", ".Z",   ".ZIP", ".ZOO"};
    EXPECT_EQ(expected, component.ArcExtensions());
    EXPECT_TRUE(component.ActivateOnStartup);
    EXPECT_FALSE(component.OnAssociation);
    EXPECT_EQ("[Appname]", component.ExtDescription());
    EXPECT_EQ("[Appname file]", component.FileDescription());
    EXPECT_EQ("%1", component.ParamString());
    EXPECT_EQ("", component.MenuName);
    EXPECT_EQ(0, component.IconIndex);
    EXPECT_EQ("", component.HandlerPath());
}

TEST_F(RegArchiveProperties, ExeEntriesAreDroppedFromAnAssignedList) {
    component.SetArcExtensions({".exe", ".EXE", ".zip", ".eXe", ".rar", ".Exe"});
    EXPECT_EQ((TStringList{".zip", ".rar"}), component.ArcExtensions());
    component.SetArcExtensions({".exe.", "exe", ".ex"});
    EXPECT_EQ((TStringList{".exe.", "exe", ".ex"}), component.ArcExtensions());
}

// However a component with an owner was created, the owner frees it; one freed
// early leaves its owner's list. The sanitizers see a leak or a double free.
TEST_F(RegArchiveProperties, AnOwnerFreesItsComponentsHoweverTheyWereCreated) {
    const association::Platform platform{registry, system};
    association::TComponent owner(nullptr);
    auto& created = owner.CreateOwned<TRegArchive>(platform);
    auto* constructed = new TRegArchive(&owner, platform);
    auto* freedEarly = new TRegArchive(&owner, platform);
    EXPECT_EQ(&owner, constructed->Owner());
    ASSERT_EQ(3u, owner.ComponentCount());
    EXPECT_EQ(&created, &owner.Component(0));
    EXPECT_EQ(constructed, &owner.Component(1));
    delete freedEarly;
    EXPECT_EQ(2u, owner.ComponentCount());
}

TEST(RegArchiveText, BaseNameEndsAtTheFirstDot) {
    EXPECT_EQ("Setup", TRegArchive::ExtractBaseName("Setup.Assoc.exe"));
    EXPECT_EQ("Assoc", TRegArchive::ExtractBaseName("Assoc.exe"));
    EXPECT_EQ("NoDot", TRegArchive::ExtractBaseName("NoDot"));
    EXPECT_EQ("", TRegArchive::ExtractBaseName(".hidden.exe"));
}

TEST(RegArchiveText, TheProgramOfACommandIsQuotedOrEndsAtASpace) {
    EXPECT_EQ("C:\\A B\\x.exe", association::ProgramOfCommand("\"C:\\A B\\x.exe\" \"%1\""));
    EXPECT_EQ("C:\\x.exe", association::ProgramOfCommand("C:\\x.exe %1"));
    EXPECT_EQ("C:\\x.exe", association::ProgramOfCommand("C:\\x.exe"));
    EXPECT_EQ("", association::ProgramOfCommand("\"C:\\A B\\x.exe %1"));
    EXPECT_EQ("", association::ProgramOfCommand("\"\" %1"));
    EXPECT_EQ("", association::ProgramOfCommand(""));
}

TEST(RegArchiveText, SplittingWithoutTheSeparatorKeepsTheCommand) {
    std::string command = "run.exe -a -b";
    std::string arguments = "stale";
    TRegArchive::SplitCommandLine(' ', command, arguments);
    EXPECT_EQ("run.exe", command);
    EXPECT_EQ("-a -b", arguments);

    command = "run.exe";
    arguments = "stale";
    TRegArchive::SplitCommandLine(' ', command, arguments);
    EXPECT_EQ("run.exe", command);
    EXPECT_EQ("", arguments);
}

} // namespace
