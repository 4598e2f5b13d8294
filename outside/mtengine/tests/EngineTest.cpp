// The engine stand-in translating: known sentences of every direction over small dictionaries made
// with the dictionary writer, inflections, the longest run of words, capitals, kept separators and
// white space, and subjects (the shipped templates) changing the words they should.
#include "enginetest/EngineLayout.h"

#include "base/Unicode.h"

using namespace enginetest;

namespace {

// The shipped data folder as a Windows path (Wine shows the file system as drive Z:).
std::wstring DataFolder() {
    std::wstring path = ovrin::Utf8ToUtf16(OVRIN_MTENGINE_DATA_DIR);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return (path.size() > 1 && path[1] == L':' ? path : L"Z:" + path) + L"\\";
}

std::vector<std::pair<std::wstring, std::wstring>> ShippedTemplates(const std::wstring& prefix) {
    std::vector<std::pair<std::wstring, std::wstring>> files;
    for (const wchar_t* name : {L"COMPUTERS.tpl", L"BUSINESS.tpl", L"general.gls"}) {
        std::string bytes = testsupport::ReadFileBytes(DataFolder() + prefix + L"\\" + name);
        EXPECT_FALSE(bytes.empty()) << "no " << Utf8(name).c_str() << " for " << Utf8(prefix).c_str();
        files.emplace_back(name, ovrin::Utf8ToUtf16(bytes));
    }
    return files;
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() { layout.WriteStandardCatalogue(); }

    std::wstring Translate(int direction, const std::wstring& text, int subject = 0) {
        CEngineClient::SetDirectionSetting(direction);
        CEngineClient::SetSubjectSetting(subject);
        std::wstring result;
        EXPECT_TRUE(client().TranslateText(text, result)) << Utf8(text).c_str();
        return result;
    }
    CEngineClient& client() {
        if (!m_client) {
            m_translator = std::make_unique<CTranslator>(layout.Folder(), layout.Key());
            m_client = std::make_unique<CEngineClient>(*m_translator);
        }
        return *m_client;
    }

    EngineLayout layout;

private:
    std::unique_ptr<CTranslator> m_translator;
    std::unique_ptr<CEngineClient> m_client;
};

} // namespace

TEST_F(EngineTest, EnglishRussian_InflectionsPhrasesCapitalsAndSeparators) {
    layout.AddDirection(L"ER", EnglishRussian());
    EXPECT_EQ(Translate(0, L"cats dogs cities"), L"кошка собака город");
    EXPECT_EQ(Translate(0, L"baked baking bigger biggest running stopped"),
              L"печь печь большой большой бежать остановка");
    EXPECT_EQ(Translate(0, L"ice cream, ice and cream"), L"мороженое, лёд and cream");
    EXPECT_EQ(Translate(0, L"Cat CAT cAT"), L"Кошка КОШКА кошка");
    EXPECT_EQ(Translate(0, L"cat | dog|house  |  mouse"), L"кошка | собака|дом  |  мышь");
    EXPECT_EQ(Translate(0, L"  cat\t\tdog   (house) \"mouse\"?! 42 "), L"  кошка\t\tсобака   (дом) \"мышь\"?! 42 ");
}

TEST_F(EngineTest, EveryDirection_TranslatesKnownSentences) {
    layout.AddDirection(L"ER", EnglishRussian(), 0, {{L"general.gls", L"the =\n"}});
    layout.AddDirection(L"RE", RussianEnglish());
    layout.AddDirection(L"GR", {{L"Katze", L"кошка"}, {L"Hund", L"собака"}, {L"Haus", L"дом"}, {L"schlafen", L"спать"}},
                        0, {{L"general.gls", L"die =\nder =\nim = в\nund = и\n"}});
    layout.AddDirection(L"RG", {{L"кошка", L"Katze"}, {L"дом", L"Haus"}, {L"и", L"und"}});
    layout.AddDirection(L"FR", {{L"chat", L"кошка"}, {L"homme", L"человек"}, {L"maison", L"дом"}, {L"manger", L"есть"}},
                        0, {{L"general.gls", L"le =\nla =\nl =\ndans = в\n"}});
    layout.AddDirection(L"RF", {{L"кошка", L"chatte"}, {L"дом", L"maison"}, {L"большой", L"grand"}});
    CTranslator probe(layout.Folder(), layout.Key());
    ASSERT_TRUE(probe.Init());
    std::vector<std::wstring> order;
    for (int i = 0; i < probe.GetDirectionCount(); ++i)
        order.push_back(probe.GetDirection(i)->GetPrefix());
    ASSERT_EQ(order, (std::vector<std::wstring>{L"ER", L"RE", L"GR", L"RG", L"FR", L"RF"}));
    EXPECT_EQ(Translate(0, L"The cats and the houses."), L"Кошка and дом.");
    EXPECT_EQ(Translate(1, L"Кошки и дома."), L"Cat и house.");
    // "schläft" is a form of "schlafen" in the German forms table.
    EXPECT_EQ(Translate(2, L"Die Katzen schlafen im Haus und der Hund schläft."), L"Кошка спать в дом и собака спать.");
    EXPECT_EQ(Translate(3, L"Кошка и дом"), L"Katze und Haus");
    EXPECT_EQ(Translate(4, L"Le chat mange dans la maison de l'homme."), L"Кошка есть в дом de человек.");
    EXPECT_EQ(Translate(5, L"Большой дом, кошки."), L"Grand maison, chatte.");
}

TEST_F(EngineTest, Subjects_ShippedTemplatesChangeTheirWords) {
    layout.AddDirection(L"ER", EnglishRussian(), 0, ShippedTemplates(L"ER"),
                        {{L"COMPUTERS", L"Компьютеры"}, {L"BUSINESS", L"Бизнес"}});
    layout.AddDirection(L"RE", RussianEnglish(), 0, ShippedTemplates(L"RE"),
                        {{L"COMPUTERS", L"Компьютеры"}, {L"BUSINESS", L"Бизнес"}});
    std::vector<std::wstring> names;
    ASSERT_TRUE(client().GetSubjectNames(0, names));
    ASSERT_EQ(names, (std::vector<std::wstring>{L"Общая", L"Бизнес", L"Компьютеры"}));
    std::wstring text = L"The file and the mouse.";
    EXPECT_EQ(Translate(0, text, 0), L"Напильник и мышь.");
    EXPECT_EQ(Translate(0, text, 2), L"Файл и мышь.");
    EXPECT_EQ(Translate(0, text, 1), L"Дело и мышь.");
    EXPECT_EQ(Translate(0, text, 0), L"Напильник и мышь.");
    EXPECT_EQ(Translate(1, L"Файл и окно", 0), L"Файл and окно");
    EXPECT_EQ(Translate(1, L"Файл и окно", 2), L"File and window");
}

// The caller writes "…" as 0xC1 and "№" as 0xFC, the bytes of "Б"/"Á" and "ь"/"ü" in the two code
// pages: the letters must still reach the engine as letters and come back, and the signs as signs.
TEST_F(EngineTest, UntranslatedText_LettersOnTheEllipsisAndNumeroBytesComeBackAsTheyWere) {
    layout.AddDirection(L"ER", EnglishRussian());
    layout.AddDirection(L"RE", RussianEnglish());
    layout.AddDirection(L"GR", {{L"Katze", L"кошка"}, {L"und", L"и"}});
    EXPECT_EQ(Translate(0, L"yes…no"), L"yes…no");
    EXPECT_EQ(Translate(0, L"Álvaro…Düsseldorf №5, cat…dog"), L"Álvaro…Düsseldorf №5, кошка…собака");
    EXPECT_EQ(Translate(1, L"Б. Н. Ельцин"), L"Б. Н. Ельцин");
    EXPECT_EQ(Translate(1, L"да…нет"), L"да…нет");
    EXPECT_EQ(Translate(1, L"Борь №5: кошка…дом Бобь"), L"Борь №5: cat…house Бобь");
    EXPECT_EQ(Translate(2, L"Müller…Katze und Über №5"), L"Müller…Кошка и Über №5");
}

// The engine access hands the base and the translator their folders in the conversion library's
// coding (call 52: Cyrillic as 1251): a direction installed under a Cyrillic folder opens, with its
// templates.
TEST_F(EngineTest, CyrillicFolder_DirectionOpensWithItsTemplates) {
    std::wstring made = layout.MakeDirectionFolder(L"ER", EnglishRussian(), ShippedTemplates(L"ER"));
    std::wstring folder = layout.Folder() + L"Переводчик Ёж\\";
    ASSERT_TRUE(MoveFileW(made.substr(0, made.size() - 1).c_str(), folder.substr(0, folder.size() - 1).c_str()));
    layout.AddDirectionKey(L"ER", DirIdOf(L"ER"), L"ER", folder);
    layout.AddSubject(L"ER", L"General", L"Общая", {});
    layout.AddSubject(L"ER", L"COMPUTERS", L"Компьютеры", {L"COMPUTERS"});
    std::vector<std::wstring> names;
    ASSERT_TRUE(client().GetSubjectNames(0, names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Общая", L"Компьютеры"}));
    EXPECT_EQ(Translate(0, L"The file and the mouse."), L"Напильник и мышь.");
    EXPECT_EQ(Translate(0, L"The file and the mouse.", 1), L"Файл и мышь.");
}

// The caller codes Cyrillic letters in the 1251 plane and every other character in the 1252 plane,
// whatever the direction: what the engine keeps must come back as it was, in the source's plane or
// the other, through the 8-bit call (narrow) as through the wide one.
TEST_F(EngineTest, UntranslatedText_ComesBackAsItWasWhicheverPlaneItIsIn) {
    for (DWORD wide : {0u, 1u}) {
        SCOPED_TRACE(wide != 0 ? "wide call" : "8-bit call");
        EngineLayout directions;
        directions.WriteStandardCatalogue();
        directions.AddDirection(L"ER", EnglishRussian(), wide);
        directions.AddDirection(L"RE", RussianEnglish(), wide);
        directions.AddDirection(L"GR", {{L"Katze", L"кошка"}, {L"und", L"и"}}, wide);
        CTranslator translator(directions.Folder(), directions.Key());
        CEngineClient client(translator);
        auto translate = [&](int direction, const std::wstring& text) {
            CEngineClient::SetDirectionSetting(direction);
            CEngineClient::SetSubjectSetting(0);
            std::wstring result;
            EXPECT_TRUE(client.TranslateText(text, result)) << Utf8(text).c_str();
            return result;
        };
        EXPECT_EQ(translate(0, L"Hello мир, cat"), L"Hello мир, кошка");
        EXPECT_EQ(translate(0, L"€5 за 3×4 dog, Ђ"), L"€5 за 3×4 собака, Ђ");
        EXPECT_EQ(translate(0, L"Что? cat мир мир"), L"Что? кошка мир мир");
        EXPECT_EQ(translate(1, L"кошка Müller €5, 3×4 ½ дом"), L"cat Müller €5, 3×4 ½ house");
        EXPECT_EQ(translate(1, L"Ёж «Œuvre» ÿ"), L"Ёж «Œuvre» ÿ");
        EXPECT_EQ(translate(2, L"Katze und мир €5 3×4 Ђ"), L"Кошка и мир €5 3×4 Ђ");
    }
}
