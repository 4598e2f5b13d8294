// The exported interface, reached only through the exported names: the exporting module (natively
// a shared library, on Windows this program itself, built as the dictionary program is) is opened at
// run time and every entry point is found by name. Each second name must give
// exactly what its function gives, failures included, and every function called before
// InitDictEngine must behave as on an empty catalogue.
#include "dictengine/DEngine.h"
#include "dictengine/DictWriter.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// The exported name of a DEngine function: the name and its argument types as the compiler encodes them.
std::string Exported(const std::string& name, const std::string& arguments) {
    return "_ZN7DEngine" + std::to_string(name.size()) + name + "E" + arguments;
}

class ExporterModule {
public:
    ExporterModule() {
#ifdef _WIN32
        // This program is built as the dictionary program is, and loads its own module by path.
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        m_module = LoadLibraryW(self);
#else
        m_module = dlopen(DENGINE_EXPORTER, RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~ExporterModule() {
#ifdef _WIN32
        if (m_module != nullptr)
            FreeLibrary(m_module);
#else
        if (m_module != nullptr)
            dlclose(m_module);
#endif
    }
    bool Loaded() const {
        return m_module != nullptr;
    }

    template <typename Function>
    Function Get(const std::string& name) {
        if (m_module == nullptr)
            return nullptr;
#ifdef _WIN32
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name.c_str())));
#else
        return reinterpret_cast<Function>(dlsym(m_module, name.c_str()));
#endif
    }

private:
#ifdef _WIN32
    HMODULE m_module = nullptr;
#else
    void* m_module = nullptr;
#endif
};

ExporterModule& Module() {
    static ExporterModule module;
    return module;
}

// The entry point of a function and of its second name, both found by name.
template <typename Function>
struct Pair {
    Function function;
    Function second;
};

template <typename Function>
Pair<Function> Load(const std::string& name, const std::string& suffix, const std::string& arguments) {
    Pair<Function> pair{Module().Get<Function>(Exported(name, arguments)),
                        Module().Get<Function>(Exported(name + suffix, arguments))};
    EXPECT_NE(pair.function, nullptr) << name;
    EXPECT_NE(pair.second, nullptr) << name << suffix;
    return pair;
}

#define EXPECT_BOTH_EQ(pair, expected, ...)                                                                            \
    do {                                                                                                               \
        if ((pair).function != nullptr && (pair).second != nullptr) {                                                  \
            EXPECT_EQ((pair).function(__VA_ARGS__), expected) << #pair << ", first name";                              \
            EXPECT_EQ((pair).second(__VA_ARGS__), expected) << #pair << ", second name";                               \
        }                                                                                                              \
    } while (0)

using Handle = __DictHandle*;
const std::string kHandle = "P12__DictHandle";

// Every pair of the interface.
struct Interface {
    Pair<int (*)(Handle)> closeDictionary = Load<int (*)(Handle)>("CloseDictionary", "H", kHandle);
    Pair<Handle (*)(Handle)> openByHandle = Load<Handle (*)(Handle)>("OpenDictionary", "H", kHandle);
    Pair<Handle (*)(unsigned short, unsigned short)> openByPosition =
        Load<Handle (*)(unsigned short, unsigned short)>("OpenDictionary", "I", "tt");
    Pair<const char* (*)(Handle)> nameByHandle = Load<const char* (*)(Handle)>("GetDictionaryName", "H", kHandle);
    Pair<const char* (*)(unsigned short, unsigned short)> nameByPosition =
        Load<const char* (*)(unsigned short, unsigned short)>("GetDictionaryName", "I", "tt");
    Pair<const wchar_t* (*)(Handle)> pathByHandle = Load<const wchar_t* (*)(Handle)>("GetDictionaryPath", "H", kHandle);
    Pair<const wchar_t* (*)(unsigned short, unsigned short)> pathByPosition =
        Load<const wchar_t* (*)(unsigned short, unsigned short)>("GetDictionaryPath", "I", "tt");
    Pair<unsigned char (*)(Handle)> typeByHandle = Load<unsigned char (*)(Handle)>("GetDictionaryType", "H", kHandle);
    Pair<unsigned char (*)(unsigned short, unsigned short)> typeByPosition =
        Load<unsigned char (*)(unsigned short, unsigned short)>("GetDictionaryType", "I", "tt");
    Pair<unsigned short (*)(unsigned short)> direction =
        Load<unsigned short (*)(unsigned short)>("GetDirection", "I", "t");
    Pair<void (*)()> done = Load<void (*)()>("DoneDictEngine", "E", "v");
    Pair<unsigned short (*)(const wchar_t*)> init =
        Load<unsigned short (*)(const wchar_t*)>("InitDictEngine", "E", "PKw");
    Pair<int (*)(const wchar_t*)> enumerate = Load<int (*)(const wchar_t*)>("EnumDictionaries", "E", "PKw");
    Pair<unsigned short (*)()> directionCount = Load<unsigned short (*)()>("GetDirectionCount", "E", "v");
    Pair<unsigned short (*)(unsigned short)> dictionaryCount =
        Load<unsigned short (*)(unsigned short)>("GetDictionaryCount", "E", "t");
    Pair<Handle (*)(unsigned short, unsigned short)> handleAt =
        Load<Handle (*)(unsigned short, unsigned short)>("GetDictionaryHandle", "E", "tt");
    Pair<int (*)(Handle, const wchar_t*, unsigned char*, unsigned short*)> dynamicInfo =
        Load<int (*)(Handle, const wchar_t*, unsigned char*, unsigned short*)>("GetDictionaryDynamicInfo", "E",
                                                                               kHandle + "PKwPhPt");
    Pair<unsigned long (*)(Handle)> wordCount = Load<unsigned long (*)(Handle)>("GetTotalWordCount", "E", kHandle);
    Pair<int (*)(Handle, const char*, unsigned long*, int*)> findWord =
        Load<int (*)(Handle, const char*, unsigned long*, int*)>("FindWord", "E", kHandle + "PKcPmPi");
    Pair<int (*)(Handle, const char*, unsigned long*, unsigned char*)> findWithMorph =
        Load<int (*)(Handle, const char*, unsigned long*, unsigned char*)>("FindWordWithMorph", "E",
                                                                           kHandle + "PKcPmPh");
    Pair<int (*)(Handle, unsigned long, unsigned short, const unsigned char**)> getIndex =
        Load<int (*)(Handle, unsigned long, unsigned short, const unsigned char**)>("GetIndex", "E",
                                                                                    kHandle + "mtPPKh");
    Pair<int (*)(unsigned short, const unsigned char**)> displayData =
        Load<int (*)(unsigned short, const unsigned char**)>("IndexDataToDisplayData", "E", "tPPKh");
    using Progress = int (*)(unsigned long, unsigned long, unsigned short);
    Pair<int (*)(Handle, const char*, unsigned long*, unsigned long**, unsigned char**, Progress)> search =
        Load<int (*)(Handle, const char*, unsigned long*, unsigned long**, unsigned char**, Progress)>(
            "PerformSearch", "E", kHandle + "PKcPmPS4_PPhPFimmtE");
    Pair<const unsigned char* (*)(Handle, unsigned long)> article =
        Load<const unsigned char* (*)(Handle, unsigned long)>("GetArticle", "E", kHandle + "m");
    Pair<const unsigned char* (*)(const unsigned char*, unsigned char)> findTag =
        Load<const unsigned char* (*)(const unsigned char*, unsigned char)>("FindTag", "E", "PKhh");
    Pair<const unsigned char* (*)(const unsigned char*, const unsigned char*)> findNextTag =
        Load<const unsigned char* (*)(const unsigned char*, const unsigned char*)>("FindNextTag", "E", "PKhS1_");
    Pair<unsigned short (*)(const unsigned char*)> partCount =
        Load<unsigned short (*)(const unsigned char*)>("GetSrcPartCount", "E", "PKh");
    Pair<const unsigned char* (*)(const unsigned char*, unsigned short)> part =
        Load<const unsigned char* (*)(const unsigned char*, unsigned short)>("GetSrcPart", "E", "PKht");
    Pair<unsigned short (*)(const unsigned char*)> translationCount =
        Load<unsigned short (*)(const unsigned char*)>("GetTranslationCount", "E", "PKh");
    Pair<const unsigned char* (*)(const unsigned char*, unsigned short)> translation =
        Load<const unsigned char* (*)(const unsigned char*, unsigned short)>("GetTranslation", "E", "PKht");
    Pair<const unsigned char* (*)(Handle, const unsigned char*)> unabbreviate =
        Load<const unsigned char* (*)(Handle, const unsigned char*)>("Unabbreviate", "E", kHandle + "PKh");
};

Handle Fake(std::uintptr_t serial) {
    return reinterpret_cast<Handle>(serial);
}

class ExportTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    std::wstring root = testsupport::ToWide(folder.Path());
};

} // namespace

TEST_F(ExportTest, TheModuleExportsEveryEntryPointByName) {
    ASSERT_TRUE(Module().Loaded());
    // A few functions without second names, and the article model's members.
    for (const std::string& name :
         {Exported("AttachDictionary", "PKw"), Exported("GetVersion", kHandle), Exported("ParseArticle", "PKh"),
          Exported("CreateUserDictionary", "tPKwS1_"), Exported("OpenUserDictionary", "t"),
          Exported("AddArticle", kHandle + "PKhS3_"), Exported("SetArticle", kHandle + "mPKh"),
          Exported("DeleteArticle", kHandle + "m"), Exported("GetTotalWordFormsCount", kHandle),
          Exported("FreePtr", "Pv"), std::string("_ZN7DEngine8sArticle3NewEv"),
          std::string("_ZN7DEngine8sArticle4PackEv"), std::string("_ZN7DEngine13sTagStructure8AddEntryEh"),
          std::string("_ZN7DEngine9sTagEntry7SetDataEPht"), std::string("_ZN7DEngine9sTagEntryaSERKS0_")})
        EXPECT_NE(Module().Get<void (*)()>(name), nullptr) << name;
}

TEST_F(ExportTest, BeforeInitialisationTheCatalogueIsEmpty) {
    ASSERT_TRUE(Module().Loaded());
    Interface api;
    unsigned long index = 9;
    int exact = 9;
    const unsigned char* entries[2] = {};
    unsigned long indexes[4] = {};
    unsigned char slots = 4;
    unsigned short size = 4;
    unsigned char buffer[4] = {};
    std::string article = dengine::MakeArticle({{0x01, "x"}});
    const auto* bytes = reinterpret_cast<const unsigned char*>(article.data());
    EXPECT_BOTH_EQ(api.directionCount, 0);
    EXPECT_BOTH_EQ(api.direction, 0, 0);
    EXPECT_BOTH_EQ(api.dictionaryCount, 0, 0);
    EXPECT_BOTH_EQ(api.handleAt, nullptr, 0, 0);
    EXPECT_BOTH_EQ(api.openByPosition, nullptr, 0, 0);
    EXPECT_BOTH_EQ(api.openByHandle, nullptr, Fake(1));
    EXPECT_BOTH_EQ(api.closeDictionary, 0, Fake(1));
    EXPECT_BOTH_EQ(api.nameByPosition, nullptr, 0, 0);
    EXPECT_BOTH_EQ(api.nameByHandle, nullptr, Fake(1));
    EXPECT_BOTH_EQ(api.pathByPosition, nullptr, 0, 0);
    EXPECT_BOTH_EQ(api.pathByHandle, nullptr, Fake(1));
    EXPECT_BOTH_EQ(api.typeByPosition, 0, 0, 0);
    EXPECT_BOTH_EQ(api.typeByHandle, 255, Fake(1));
    EXPECT_BOTH_EQ(api.wordCount, 0ul, Fake(1));
    EXPECT_BOTH_EQ(api.dynamicInfo, 0, Fake(1), L"x", buffer, &size);
    EXPECT_BOTH_EQ(api.findWord, 0, Fake(1), "a", &index, &exact);
    EXPECT_BOTH_EQ(api.findWithMorph, 0, Fake(1), "a", indexes, &slots);
    EXPECT_EQ(slots, 0);
    EXPECT_BOTH_EQ(api.getIndex, 0, Fake(1), 0, 1, entries);
    EXPECT_BOTH_EQ(api.article, nullptr, Fake(1), 0);
    EXPECT_BOTH_EQ(api.partCount, 1, bytes); // the walkers need no catalogue
    auto directionIndex = Module().Get<unsigned short (*)(unsigned short)>(Exported("GetDirectionIndex", "t"));
    ASSERT_NE(directionIndex, nullptr);
    EXPECT_EQ(directionIndex(0x0102), 0xFFFF);
    auto version = Module().Get<unsigned short (*)(Handle)>(Exported("GetVersion", kHandle));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(Fake(1)), 0);
    auto add = Module().Get<unsigned long (*)(Handle, const unsigned char*, const unsigned char*)>(
        Exported("AddArticle", kHandle + "PKhS3_"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(Fake(1), reinterpret_cast<const unsigned char*>("a"), bytes), 0xFFFFFFFFul);
    auto create = Module().Get<unsigned short (*)(unsigned short, const wchar_t*, const wchar_t*)>(
        Exported("CreateUserDictionary", "tPKwS1_"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(0, root.c_str(), L"Mine"), 0xFFFF);
}

// A dictionary of two words, "apple" with two translations and "house" with two parts, and the
// engine started on it through the second name.
class SecondNameTest : public ExportTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(Module().Loaded());
        std::string error;
        dengine::DictionaryDescription description;
        description.name = "General";
        description.direction = 0x0102;
        description.abbreviations[0x03] = {{1, "colloq."}};
        std::string translation = dengine::MakeArticle({{0x01, "dom"}, {0x03, std::string("\x00\x01", 2)}}).substr(2);
        std::vector<dengine::WriterEntry> words = {
            {"apple", "", dengine::MakeArticle({{0x02, "\x01"}, {0x90, translation}, {0x90, translation}})},
            {"house", "",
             dengine::MakeArticle({{0x80, std::string("\x02\x01\x01", 3)}, {0x80, std::string("\x02\x01\x02", 3)}})}};
        ASSERT_TRUE(dengine::WriteDictionary(folder.File(L"general.dic"), description, words, &error)) << error;
        if (api.init.second == nullptr || api.done.second == nullptr)
            GTEST_FAIL() << "no InitDictEngineE or DoneDictEngineE";
    }
    void TearDown() override {
        if (api.done.function != nullptr)
            api.done.function();
    }
    // Starts the engine and opens the dictionary; its handle.
    Handle StartAndOpen() {
        api.init.second(root.c_str());
        Handle handle = api.handleAt.function(0, 0);
        EXPECT_NE(handle, nullptr);
        EXPECT_EQ(api.openByHandle.second(handle), handle);
        return handle;
    }

    Interface api;
};

TEST_F(SecondNameTest, StartAndStop_EitherNameGivesTheSameCatalogue) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ((round == 0 ? api.init.function : api.init.second)(root.c_str()), 0) << "round " << round;
        EXPECT_BOTH_EQ(api.directionCount, 1);
        EXPECT_BOTH_EQ(api.dictionaryCount, 1, 0);
        (round == 0 ? api.done.second : api.done.function)();
        EXPECT_BOTH_EQ(api.directionCount, 0);
    }
}

TEST_F(SecondNameTest, Catalogue_EitherNameGivesTheSame) {
    api.init.second(root.c_str());
    EXPECT_BOTH_EQ(api.enumerate, 1, root.c_str()); // lists the file a second time
    EXPECT_BOTH_EQ(api.dictionaryCount, 3, 0);
    EXPECT_BOTH_EQ(api.dictionaryCount, 0, 1);
    EXPECT_BOTH_EQ(api.direction, 0x0102, 0);
    EXPECT_BOTH_EQ(api.direction, 0, 1);
    Handle handle = api.handleAt.function(0, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_BOTH_EQ(api.handleAt, handle, 0, 0);
    EXPECT_BOTH_EQ(api.handleAt, nullptr, 0, 3);
    EXPECT_BOTH_EQ(api.typeByPosition, 1, 0, 0);
    EXPECT_BOTH_EQ(api.typeByPosition, 0, 0, 3);
    EXPECT_BOTH_EQ(api.typeByHandle, 1, handle);
    EXPECT_BOTH_EQ(api.typeByHandle, 255, Fake(99));
    EXPECT_STREQ(api.nameByPosition.second(0, 0), "General");
    EXPECT_EQ(api.nameByPosition.second(0, 0), api.nameByPosition.function(0, 0));
    EXPECT_EQ(api.nameByHandle.second(handle), api.nameByHandle.function(handle));
    EXPECT_BOTH_EQ(api.nameByHandle, nullptr, Fake(99));
    EXPECT_EQ(api.pathByPosition.second(0, 0), api.pathByPosition.function(0, 0));
    EXPECT_EQ(api.pathByHandle.second(handle), api.pathByHandle.function(handle));
    EXPECT_BOTH_EQ(api.pathByPosition, nullptr, 2, 0);
}

TEST_F(SecondNameTest, OpenAndClose_EitherNameMovesTheSameCount) {
    api.init.second(root.c_str());
    Handle handle = api.handleAt.function(0, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_BOTH_EQ(api.wordCount, 2ul, handle);
    EXPECT_BOTH_EQ(api.openByPosition, handle, 0, 0); // count 2
    EXPECT_BOTH_EQ(api.openByHandle, handle, handle); // count 4
    EXPECT_BOTH_EQ(api.openByHandle, nullptr, Fake(99));
    EXPECT_BOTH_EQ(api.openByPosition, nullptr, 0, 7);
    EXPECT_BOTH_EQ(api.closeDictionary, 1, handle); // count 2
    EXPECT_EQ(api.closeDictionary.second(handle), 1);
    EXPECT_EQ(api.closeDictionary.function(handle), 0); // closed now
    EXPECT_BOTH_EQ(api.closeDictionary, 0, handle);
    EXPECT_BOTH_EQ(api.article, nullptr, handle, 0); // closed
}

TEST_F(SecondNameTest, Lookup_EitherNameGivesTheSame) {
    Handle handle = StartAndOpen();
    unsigned long index = 0;
    int exact = 0;
    EXPECT_BOTH_EQ(api.findWord, 1, handle, "house", &index, &exact);
    EXPECT_EQ(index, 1u);
    EXPECT_BOTH_EQ(api.findWord, 0, Fake(99), "house", &index, &exact);
    unsigned long indexes[4] = {};
    unsigned char slots = 4;
    EXPECT_BOTH_EQ(api.findWithMorph, 0, handle, "houses", indexes, &slots);
    const unsigned char* rows[2] = {};
    const unsigned char* again[2] = {};
    EXPECT_BOTH_EQ(api.getIndex, 1, handle, 0, 2, rows);
    api.getIndex.second(handle, 0, 2, again);
    ASSERT_NE(rows[1], nullptr);
    ASSERT_NE(again[1], nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(rows[1])), "house");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(again[1])), "house");
    EXPECT_BOTH_EQ(api.getIndex, 0, handle, 1, 2, rows);
    EXPECT_BOTH_EQ(api.displayData, 1, 2, rows);
    unsigned char value[8] = {};
    unsigned short size = sizeof value;
    EXPECT_BOTH_EQ(api.dynamicInfo, 0, handle, L"missing", value, &size);
}

TEST_F(SecondNameTest, Search_EitherNameFindsTheSame) {
    Handle handle = StartAndOpen();
    auto freePtr = Module().Get<void (*)(void*)>(Exported("FreePtr", "Pv"));
    ASSERT_NE(freePtr, nullptr);
    for (auto* search : {api.search.function, api.search.second}) {
        unsigned long count = 0;
        unsigned long* found = nullptr;
        unsigned char* texts = nullptr;
        const char* name = search == api.search.function ? "first name" : "second name";
        EXPECT_EQ(search(handle, "h*", &count, &found, &texts, nullptr), 1) << name;
        EXPECT_EQ(count, 1u) << name;
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found[0], 1u) << name;
        freePtr(found);
        freePtr(texts);
    }
    unsigned long count = 0;
    unsigned long* found = nullptr;
    unsigned char* texts = nullptr;
    EXPECT_BOTH_EQ(api.search, 0, Fake(99), "h*", &count, &found, &texts, nullptr);
}

TEST_F(SecondNameTest, ArticleWalkers_EitherNameGivesTheSame) {
    Handle handle = StartAndOpen();
    const unsigned char* apple = api.article.function(handle, 0);
    ASSERT_NE(apple, nullptr);
    EXPECT_BOTH_EQ(api.article, apple, handle, 0);
    EXPECT_BOTH_EQ(api.article, nullptr, handle, 2);
    EXPECT_BOTH_EQ(api.partCount, 1, apple);
    EXPECT_BOTH_EQ(api.part, apple, apple, 0);
    EXPECT_BOTH_EQ(api.part, nullptr, apple, 1);
    EXPECT_BOTH_EQ(api.translationCount, 2, apple);
    const unsigned char* second = api.translation.function(apple, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_BOTH_EQ(api.translation, second, apple, 1);
    EXPECT_BOTH_EQ(api.translation, nullptr, apple, 2);
    const unsigned char* first = api.findTag.function(apple, 0x90);
    EXPECT_BOTH_EQ(api.findTag, first, apple, 0x90);
    EXPECT_BOTH_EQ(api.findTag, nullptr, apple, 0x0B);
    EXPECT_BOTH_EQ(api.findNextTag, second - 1, apple, first);
    EXPECT_BOTH_EQ(api.findNextTag, nullptr, apple, second - 1);

    const unsigned char* house = api.article.second(handle, 1);
    ASSERT_NE(house, nullptr);
    EXPECT_BOTH_EQ(api.partCount, 2, house);
    EXPECT_BOTH_EQ(api.part, house + 3, house, 0);
    EXPECT_BOTH_EQ(api.part, nullptr, house, 2);
    EXPECT_BOTH_EQ(api.translationCount, 0, api.part.function(house, 1));
}

TEST_F(SecondNameTest, Unabbreviate_EitherNameGivesTheSame) {
    Handle handle = StartAndOpen();
    const unsigned char* apple = api.article.function(handle, 0);
    ASSERT_NE(apple, nullptr);
    const unsigned char* second = api.translation.function(apple, 1);
    ASSERT_NE(second, nullptr);
    const unsigned char* reference = api.findTag.function(second, 0x03);
    ASSERT_NE(reference, nullptr);
    const unsigned char* expansion = api.unabbreviate.function(handle, reference);
    ASSERT_NE(expansion, reference);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expansion + 1), expansion[0]), "colloq.");
    EXPECT_BOTH_EQ(api.unabbreviate, expansion, handle, reference);
    const unsigned char* leaf = api.findTag.function(second, 0x01);
    EXPECT_BOTH_EQ(api.unabbreviate, leaf, handle, leaf);
    const unsigned char* fallback = api.unabbreviate.function(Fake(99), reference);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(fallback), 2), std::string("\x01\x00", 2));
    EXPECT_BOTH_EQ(api.unabbreviate, fallback, Fake(99), reference);
}
