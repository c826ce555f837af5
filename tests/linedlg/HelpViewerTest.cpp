#include <gtest/gtest.h>
#include <string>
#include "app/HelpViewer.h"
#include "settings/ProgramPath.h"

namespace {

// Where the loader tests register a stand-in engine (the user's hive, removed afterwards).
constexpr const char* kTestRoot = "Software\\Tavrenix-linedlg-test";
const std::string kTestKey = std::string(kTestRoot) + "\\" + HelpViewer::kEngineKey;

std::string besideProgram(const char* name)
{
    return std::string(ProgramPath::ProgramFolder(ProgramPath::kDrive | ProgramPath::kDirectory)) + name;
}

// The stand-in engine's record of its calls (zero while it is not loaded).
struct EngineRecord {
    static HMODULE module() { return GetModuleHandleA("fakehelp.dll"); }
    template <class F>
    static F get(const char* name)
    {
        HMODULE m = module();
        return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
    }
    static LONG calls()
    {
        auto f = get<LONG (*)()>("FakeHelpCalls");
        return f ? f() : 0;
    }
    static std::string file() { return get<const char* (*)()>("FakeHelpLastFile")(); }
    static UINT command() { return get<UINT (*)()>("FakeHelpLastCommand")(); }
    static DWORD_PTR data() { return get<DWORD_PTR (*)()>("FakeHelpLastData")(); }
    static HWND owner() { return get<HWND (*)()>("FakeHelpLastOwner")(); }
};

class HelpLoader : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot); }

    static void registerEngine(const std::string& path, DWORD type = REG_SZ)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE*>(path.c_str()), DWORD(path.size() + 1));
        RegCloseKey(key);
    }
};

}  // namespace

TEST(HelpFile, IsTavrenixChmInTheProgramsFolder)
{
    char path[HelpViewer::kPathSize];
    HelpViewer::HelpFilePath(path);
    EXPECT_EQ(std::string(path), besideProgram("tavrenix.chm"));
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string folder(module);
    folder.erase(folder.find_last_of('\\') + 1);
    EXPECT_EQ(std::string(path), folder + "tavrenix.chm");
}

TEST_F(HelpLoader, RegisteredEngineIsLoadedOnceAndReused)
{
    registerEngine(besideProgram("fakehelp.dll"));
    // The name is no engine: a working help proves the registry's path was taken.
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "no-such-engine.ocx");
    LONG before = EngineRecord::calls();
    EXPECT_FALSE(viewer.Loaded());
    HWND first = viewer.ShowContents();
    ASSERT_TRUE(viewer.Loaded());
    EXPECT_EQ(EngineRecord::calls(), before + 1);
    EXPECT_EQ(first, reinterpret_cast<HWND>(UINT_PTR(0x7700 + before + 1)));  // the engine's answer
    char path[HelpViewer::kPathSize];
    HelpViewer::HelpFilePath(path);
    EXPECT_EQ(EngineRecord::file(), path);
    EXPECT_EQ(EngineRecord::command(), 0u);
    EXPECT_EQ(EngineRecord::data(), 0u);
    EXPECT_EQ(EngineRecord::owner(), nullptr);
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);

    // Later requests use the loaded engine without the registry, which may even be gone.
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
    HWND owner = GetDesktopWindow();
    viewer.Call(owner, "other.chm", 0x12, 77);
    viewer.ShowContents();
    EXPECT_EQ(EngineRecord::calls(), before + 3);
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    EXPECT_FALSE(viewer.Failed());
}

TEST_F(HelpLoader, CallsAreForwardedAsGiven)
{
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "fakehelp.dll");
    HWND owner = GetDesktopWindow();
    viewer.Call(owner, "x.chm::/topic.htm", 0x0F, 4242);
    EXPECT_EQ(EngineRecord::owner(), owner);
    EXPECT_EQ(EngineRecord::file(), "x.chm::/topic.htm");
    EXPECT_EQ(EngineRecord::command(), 0x0Fu);
    EXPECT_EQ(EngineRecord::data(), 4242u);
}

TEST_F(HelpLoader, WithoutTheRegistryEntryTheEngineIsLoadedByName)
{
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "fakehelp.dll");
    LONG before = EngineRecord::calls();
    EXPECT_NE(viewer.ShowContents(), nullptr);
    EXPECT_TRUE(viewer.Loaded());
    EXPECT_EQ(EngineRecord::calls(), before + 1);
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
}

TEST_F(HelpLoader, ARegisteredPathThatDoesNotLoadFallsBackToTheName)
{
    registerEngine("C:\\no\\such\\folder\\hhctrl.ocx");
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "fakehelp.dll");
    EXPECT_NE(viewer.ShowContents(), nullptr);
    EXPECT_TRUE(viewer.Loaded());
    EXPECT_EQ(viewer.LoadAttempts(), 2);
}

TEST_F(HelpLoader, AnExpandableRegisteredPathIsExpanded)
{
    std::string folder = besideProgram("");
    folder.pop_back();  // without the trailing backslash
    SetEnvironmentVariableA("TAV_ENGINE_FOLDER", folder.c_str());
    registerEngine("%TAV_ENGINE_FOLDER%\\fakehelp.dll", REG_EXPAND_SZ);
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "no-such-engine.ocx");
    EXPECT_NE(viewer.ShowContents(), nullptr);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    SetEnvironmentVariableA("TAV_ENGINE_FOLDER", nullptr);
}

TEST_F(HelpLoader, AnEngineThatCannotBeLoadedIsNeverTriedAgain)
{
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "no-such-engine.ocx");
    LONG before = EngineRecord::calls();
    EXPECT_EQ(viewer.ShowContents(), nullptr);
    EXPECT_TRUE(viewer.Failed());
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);  // no registered path: only the name was tried
    // Even once an engine would be available, help stays off.
    registerEngine(besideProgram("fakehelp.dll"));
    EXPECT_EQ(viewer.ShowContents(), nullptr);
    EXPECT_EQ(viewer.Call(nullptr, "a.chm", 0, 0), nullptr);
    EXPECT_FALSE(viewer.Loaded());
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    EXPECT_EQ(EngineRecord::calls(), before);
}

TEST_F(HelpLoader, AnEngineWithoutOrdinal14IsUnloadedAndNeverTriedAgain)
{
    HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "noentry.dll");
    EXPECT_EQ(viewer.ShowContents(), nullptr);
    EXPECT_TRUE(viewer.Failed());
    EXPECT_FALSE(viewer.Loaded());
    EXPECT_EQ(GetModuleHandleA("noentry.dll"), nullptr);  // not kept loaded for nothing
    EXPECT_EQ(viewer.ShowContents(), nullptr);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    EXPECT_EQ(GetModuleHandleA("noentry.dll"), nullptr);
}

TEST_F(HelpLoader, TheEnginesWindowsCloseBeforeTheLoaderGoes)
{
    HWND help = nullptr;
    {
        HelpViewer viewer(HKEY_CURRENT_USER, kTestKey.c_str(), "fakehelp.dll");
        help = viewer.Call(nullptr, "a.chm", 1, 0);  // a window run by the engine's code
        ASSERT_TRUE(IsWindow(help));
    }
    // A window left behind would run code that may be gone: it must not outlive the loader.
    EXPECT_FALSE(IsWindow(help));
}

TEST(HelpEngine, TheSystemsEngineIsFoundThroughTheRegistry)
{
    // The loader as the program uses it, on the system's own engine (a harmless request).
    HelpViewer viewer;
    const UINT closeAll = 0x12;
    viewer.Call(nullptr, nullptr, closeAll, 0);
    EXPECT_TRUE(viewer.Loaded());
    EXPECT_FALSE(viewer.Failed());
    EXPECT_EQ(viewer.RegistryReads(), 1);
    EXPECT_EQ(viewer.LoadAttempts(), 1);
    EXPECT_NE(GetModuleHandleA("hhctrl.ocx"), nullptr);
}
