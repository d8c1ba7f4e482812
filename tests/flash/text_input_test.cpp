// Typing into text fields on the player core: what restrict and maxChars
// let through, the editing keys and the clipboard, the selection scripts
// see, the focus leaving objects that go out of sight or off the stage, and
// style sheets, which style a field's HTML and keep the user from editing it.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <deque>

#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "flash/core/text_editing.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash/traced_movie.h"
#include "tests/platform/test_application.h"

using namespace testmovies;
using flash::TextControl;

namespace {

// A script that sets `member` of the object `object` names to `value`
// (already in assembler form: "\"x\"", 3, true).
std::string setMember(const std::string& object, const std::string& member, const std::string& value) {
    return "push \"" + object + "\"\ngetVariable\npush \"" + member + "\", " + value + "\nsetMember\n";
}

// The same with the value of the variable `variable` (a function).
std::string setMemberTo(const std::string& object, const std::string& member, const std::string& variable) {
    return "push \"" + object + "\"\ngetVariable\npush \"" + member + "\", \"" + variable +
           "\"\ngetVariable\nsetMember\n";
}

// Selection.setFocus(object).
std::string focusOn(const std::string& object) {
    return "push \"" + object +
           "\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"setFocus\"\n"
           "callMethod\npop\n";
}

// An input field "t" at (0,0), 100x20 pixels, that traces its text on each
// change, holding the focus; `more` runs after.
const std::string kInputField =
    "push 20, 100, 0, 0, 1, \"t\", 6, \"_root\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n" +
    setMember("t", "type", "\"input\"") +
    "function changed() {\n push \"t\"\n getVariable\n push \"text\"\n getMember\n trace\n}\n" +
    setMemberTo("t", "onChanged", "changed") + focusOn("t");

// Bytecode a test movie's button points into, kept for the whole run.
swf::Bytes code(const std::string& assembly) {
    static std::deque<std::vector<std::uint8_t>> kept;
    kept.push_back(kinolux::avm1::test::assemble(assembly));
    return swf::Bytes(kept.back());
}

class TextInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kinolux::testing::EnsureApplication<QGuiApplication>(); }

    void load(const std::string& script) {
        movie_ = playTraced(
            movie({swf::DoAction{kinolux::avm1::test::assemble(script)}, swf::ShowFrame{}}, header(200, 100)));
    }

    // A button "b" that traces "press" and "release", and `keyAction` for
    // the key of that code when it is not 0, holding the focus.
    void loadButton(std::uint8_t keyCode) {
        swf::DefineButton button;
        button.id = 2;
        swf::ButtonRecord face;
        face.states =
            swf::ButtonState::Up | swf::ButtonState::Over | swf::ButtonState::Down | swf::ButtonState::HitTest;
        face.characterId = 1;
        face.depth = 1;
        button.records = {face};
        namespace C = swf::ButtonCondition;
        button.actions = {{C::OverUpToOverDown, 0, code("push \"press\"\ntrace\n")},
                          {C::OverDownToOverUp, 0, code("push \"release\"\ntrace\n")}};
        if (keyCode) button.actions.push_back({0, keyCode, code("push \"key\"\ntrace\n")});
        swf::PlaceObject p = place(1, 2);
        p.name = "b";
        movie_ = playTraced(movie({rect(1, {0, 0, 255, 255}, 0, 0, 20, 20), button, p,
                                   swf::DoAction{kinolux::avm1::test::assemble(focusOn("b"))}, swf::ShowFrame{}},
                                  header(200, 100)));
    }

    flash::EditText& field() {
        auto* object = movie_->player->findByPath("t");
        EXPECT_TRUE(object && object->kind() == flash::ObjectKind::EditText);
        return static_cast<flash::EditText&>(*object);
    }

    std::string text() { return field().plainText().toStdString(); }

    void type(const std::string& chars) {
        for (char c : chars) movie_->player->textInput(char32_t(c));
    }

    std::unique_ptr<TracedMovie> movie_;
};

}  // namespace

TEST(TextRestrict, RangesExclusionsEscapesAndTheOtherCase) {
    EXPECT_EQ(flash::restrictChar("a-c", U'b'), U'b');
    EXPECT_EQ(flash::restrictChar("a-c", U'd'), std::nullopt);
    EXPECT_EQ(flash::restrictChar("bc", U'B'), U'b') << "only the lower case is allowed: the letter is lowered";
    EXPECT_EQ(flash::restrictChar("A-Z", U'q'), U'Q');
    EXPECT_EQ(flash::restrictChar("aA", U'A'), U'A') << "both cases allowed: kept as typed";
    EXPECT_EQ(flash::restrictChar(QString::fromUtf8("Δ"), U'δ'), std::nullopt) << "only ASCII letters change case";
    EXPECT_EQ(flash::restrictChar("^0-9", U'5'), std::nullopt);
    EXPECT_EQ(flash::restrictChar("^0-9", U'x'), U'x') << "a leading ^ allows all it does not name";
    EXPECT_EQ(flash::restrictChar("a-z^q", U'q'), std::nullopt);
    EXPECT_EQ(flash::restrictChar("a-z^q", U'r'), U'r');
    EXPECT_EQ(flash::restrictChar("\\-", U'-'), U'-');
    EXPECT_EQ(flash::restrictChar("\\^", U'^'), U'^');
    EXPECT_EQ(flash::restrictChar("", U'a'), std::nullopt) << "an empty setting lets nothing through";
    EXPECT_EQ(flash::restrictChar("a-", U'-'), std::nullopt) << "a dash at the end counts for nothing";
    EXPECT_EQ(flash::restrictChar("a\\", U'\\'), std::nullopt) << "nor does a backslash";
    EXPECT_EQ(flash::restrictChar("-b", U'0'), U'0') << "a dash with nothing before it ranges from the first character";
    EXPECT_EQ(flash::restrictChar("a-b-c", U'0'), U'0') << "and so does one just after a range";
    EXPECT_EQ(flash::restrictChar("b-a", U'b'), U'b');
    EXPECT_EQ(flash::restrictChar("b-a", U'a'), std::nullopt) << "a range backwards holds only its first character";
    EXPECT_EQ(flash::restrictChar("b---", U'-'), std::nullopt) << "dashes in a row count as one";
}

TEST_F(TextInputTest, TypingGoesToTheFocusedFieldAndItsListenersHearOfIt) {
    load(kInputField);
    type("ab");
    EXPECT_EQ(text(), "ab");
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"a", "ab"}));

    movie_->player->textInput(U'\t');
    movie_->player->textControl(TextControl::Enter);
    EXPECT_EQ(text(), "ab") << "control characters and Enter do nothing on one line";
    EXPECT_EQ(movie_->traces.size(), 2u) << "no change, no onChanged";

    field().multiline = true;
    movie_->player->textControl(TextControl::Enter);
    EXPECT_EQ(text(), "ab\r");
    movie_->player->textControl(TextControl::Backspace);
    movie_->player->textControl(TextControl::MoveLeft);
    movie_->player->textInput(U'x');
    EXPECT_EQ(text(), "axb") << "typing goes in at the caret";
    movie_->player->textControl(TextControl::MoveLeftLine);
    movie_->player->textControl(TextControl::Delete);
    EXPECT_EQ(text(), "xb");
    movie_->player->textControl(TextControl::MoveRightLine);
    movie_->player->textInput(char32_t(0x1F600));
    EXPECT_EQ(field().plainText(), QString::fromUtf8("xb\xF0\x9F\x98\x80")) << "a character beyond 16 bits";
    movie_->player->textControl(TextControl::Backspace);
    EXPECT_EQ(text(), "xb") << "and Backspace takes it whole";

    // Nothing reaches a field without the focus or one that is not input.
    load(kInputField + focusOn("nothing"));
    type("a");
    EXPECT_EQ(text(), "");
    load(kInputField + setMember("t", "type", "\"dynamic\""));
    type("a");
    EXPECT_EQ(text(), "");
}

TEST_F(TextInputTest, TheSelectKeysGrowTheSelectionFromTheCaretAndTheDocumentKeysGoToAnEnd) {
    load(kInputField);
    type("abcd");
    movie_->player->textControl(TextControl::MoveLeftDocument);
    movie_->player->textControl(TextControl::SelectRight);
    movie_->player->textControl(TextControl::SelectRight);
    EXPECT_EQ(flash::selectedText(field()), "ab") << "the anchor stays where the caret was";
    movie_->player->textControl(TextControl::SelectLeft);
    EXPECT_EQ(flash::selectedText(field()), "a");
    movie_->player->textControl(TextControl::MoveRightDocument);
    EXPECT_EQ(flash::selectedText(field()), "") << "without shift a move drops the selection";
    movie_->player->textInput(U'e');
    EXPECT_EQ(text(), "abcde");
}

TEST_F(TextInputTest, RestrictAndMaxCharsFilterWhatIsTypedAndPasted) {
    load(kInputField + setMember("t", "restrict", "\"bc\"") + setMember("t", "maxChars", "3"));
    movie_->player->setClipboardText("aAbBcCdD");
    movie_->player->textControl(TextControl::Paste);
    EXPECT_EQ(text(), "bbc");
    type("b");
    EXPECT_EQ(text(), "bbc") << "no room left";
    movie_->player->textControl(TextControl::SelectAll);
    type("c");
    EXPECT_EQ(text(), "c") << "typing replaces the selection";
}

TEST_F(TextInputTest, TheClipboardCopiesCutsAndPastesButKeepsPasswords) {
    load(kInputField);
    movie_->player->setClipboardText("hello");
    movie_->player->textControl(TextControl::Paste);
    movie_->player->textControl(TextControl::SelectAll);
    movie_->player->setClipboardText("");
    movie_->player->textControl(TextControl::Paste);
    EXPECT_EQ(text(), "hello") << "pasting nothing leaves the selection";
    movie_->player->textControl(TextControl::Cut);
    EXPECT_EQ(text(), "");
    EXPECT_EQ(movie_->player->clipboardText(), QStringLiteral("hello"));
    movie_->player->textControl(TextControl::Paste);
    movie_->player->textControl(TextControl::Paste);
    EXPECT_EQ(text(), "hellohello");

    field().password = true;
    movie_->player->textControl(TextControl::SelectAll);
    movie_->player->setClipboardText("");
    movie_->player->textControl(TextControl::Copy);
    movie_->player->textControl(TextControl::Cut);
    EXPECT_EQ(movie_->player->clipboardText(), QString()) << "a password never leaves its field";
    EXPECT_EQ(text(), "hellohello");
}

TEST_F(TextInputTest, ScriptsSeeAndSetTheSelectionOfTheFocusedField) {
    const std::string traceSelection =
        "push 0, \"Selection\"\ngetVariable\npush \"getBeginIndex\"\ncallMethod\ntrace\n"
        "push 0, \"Selection\"\ngetVariable\npush \"getEndIndex\"\ncallMethod\ntrace\n"
        "push 0, \"Selection\"\ngetVariable\npush \"getCaretIndex\"\ncallMethod\ntrace\n";
    const std::string replaceSel = "push \"|\", 1, \"t\"\ngetVariable\npush \"replaceSel\"\ncallMethod\npop\n";
    // Before any focus replaceSel puts the text at the start; focus selects
    // all; setSelection's second index is the caret.
    load("push 20, 100, 0, 0, 1, \"t\", 6, \"_root\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n" +
         setMember("t", "type", "\"input\"") + setMember("t", "text", "\"text\"") + replaceSel + traceSelection +
         focusOn("t") + traceSelection +
         "push 1, 3, 2, \"Selection\"\ngetVariable\npush \"setSelection\"\ncallMethod\npop\n" + traceSelection +
         replaceSel);
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"-1", "-1", "-1", "0", "5", "5", "1", "3", "1"}));
    EXPECT_EQ(text(), "||xt");

    // A click puts the caret where it falls: past the text, at its end.
    movie_->player->mouseMove(90, 5);
    movie_->player->mouseDown();
    movie_->player->mouseUp();
    movie_->player->textInput(U'!');
    EXPECT_EQ(text(), "||xt!");
    movie_->player->mouseMove(1, 5);
    movie_->player->mouseDown();
    movie_->player->mouseUp();
    movie_->player->textInput(U'!');
    EXPECT_EQ(text(), "!||xt!") << "and before the first character, at the start";
}

TEST_F(TextInputTest, TheFocusLeavesWhatIsHiddenOrRemoved) {
    const std::string listener =
        "function told(a, b) {\n push \"a\"\n getVariable\n push \">\"\n add2\n push \"b\"\n getVariable\n add2\n "
        "trace\n}\n"
        "push \"l\", 0\ninitObject\nsetVariable\n" +
        setMemberTo("l", "onSetFocus", "told") +
        "push \"l\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"addListener\"\ncallMethod\npop\n";
    const std::string makeClip =
        "push 2, \"c\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n";
    // A plain clip takes the focus only when focusEnabled says so.
    load(listener + makeClip + focusOn("c") + setMember("c", "focusEnabled", "true") + focusOn("c") +
         setMember("c", "_visible", "false"));
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"null>_level0.c", "_level0.c>null"}));

    load(listener + makeClip + setMember("c", "focusEnabled", "true") + focusOn("c") +
         "push 0, \"c\"\ngetVariable\npush \"removeMovieClip\"\ncallMethod\npop\n");
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"null>_level0.c", "_level0.c>null"}));
}

TEST_F(TextInputTest, KeyboardFocusRollsOntoWhatActsAsAButton) {
    const std::string script =
        "push 2, \"c\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n"
        "function over() {\n push \"over\"\n trace\n}\n"
        "function out() {\n push \"out\"\n trace\n}\n"
        "function focused() {\n push \"focus\"\n trace\n}\n" +
        setMemberTo("c", "onRollOver", "over") + setMemberTo("c", "onRollOut", "out") +
        setMemberTo("c", "onSetFocus", "focused");
    // By Tab the roll comes first, at once.
    load(script);
    movie_->player->keyDown(9, 9);
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"over", "focus"}));
    movie_->player->mouseMove(50, 50);
    EXPECT_EQ(movie_->traces.back(), "out") << "the mouse takes over again";

    // A script's setFocus rolls once the script is done.
    load(script + focusOn("c") + "push \"done\"\ntrace\n");
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"focus", "done", "over"}));
}

TEST_F(TextInputTest, EveryKeyAndMouseButtonTogglesOnEachPress) {
    load("");
    movie_->player->keyDown(65, 97);
    movie_->player->keyUp(65, 97);
    EXPECT_TRUE(movie_->player->input().isKeyToggled(65));
    EXPECT_FALSE(movie_->player->input().isKeyDown(65));
    movie_->player->mouseDown();
    EXPECT_TRUE(movie_->player->input().isKeyDown(1)) << "the left button is key 1";
    EXPECT_TRUE(movie_->player->input().isKeyToggled(1));
    movie_->player->mouseUp();
    movie_->player->mouseDown();
    EXPECT_FALSE(movie_->player->input().isKeyToggled(1));
    movie_->player->keyDown(65, 97);
    EXPECT_FALSE(movie_->player->input().isKeyToggled(65));
}

TEST_F(TextInputTest, TabIndicesAreWholeNumbersUnsignedInTextFields) {
    auto traceMember = [](const std::string& object, const std::string& member) {
        return "push \"" + object + "\"\ngetVariable\npush \"" + member + "\"\ngetMember\ntrace\n";
    };
    load(kInputField + "push 2, \"c\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n" +
         setMember("t", "tabIndex", "-4") + traceMember("t", "tabIndex") + setMember("c", "tabIndex", "\"x\"") +
         traceMember("c", "tabIndex") + setMember("c", "tabIndex", "-4") + traceMember("c", "tabIndex") +
         setMember("t", "tabIndex", "undefined") + traceMember("t", "tabIndex"));
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"4294967292", "-2147483648", "-4", "undefined"}));
}

TEST_F(TextInputTest, TabReachesOnlyTheFirstOfObjectsInOnePlace) {
    auto makeClip = [](const std::string& name, int depth) {
        return "push " + std::to_string(depth) + ", \"" + name +
               "\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n" +
               setMember(name, "tabEnabled", "true");
    };
    load(
        "function told(a, b) {\n push \"b\"\n getVariable\n trace\n}\n"
        "push \"l\", 0\ninitObject\nsetVariable\n" +
        setMemberTo("l", "onSetFocus", "told") +
        "push \"l\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"addListener\"\ncallMethod\npop\n" +
        makeClip("first", 1) + makeClip("same", 2) + makeClip("right", 3) + setMember("right", "_x", "50"));
    for (int i = 0; i < 3; ++i) movie_->player->keyDown(9, 9);
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"_level0.first", "_level0.right", "_level0.first"}));
}

TEST_F(TextInputTest, SpacePressesTheFocusedButtonUnlessItWaitsForThatKey) {
    loadButton(0);
    movie_->player->keyDown(32, 32);
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{"press", "release"}));
    movie_->player->keyDown(13, 13);
    EXPECT_EQ(movie_->traces.size(), 2u) << "Enter presses nothing";

    loadButton(32);
    movie_->player->keyDown(32, 32);
    EXPECT_EQ(movie_->traces, std::vector<std::string>{"key"});
}

TEST_F(TextInputTest, AStyleSheetStylesTheHtmlTextAndTheUserCannotEditIt) {
    // css = new TextField.StyleSheet(); css.parseCSS(...); t.styleSheet = css;
    // t.htmlText = ...; trace(t.htmlText); trace(t.styleSheet == css)
    const std::string html = "<p class='red'>ab</p><shout>c</shout>";
    const std::string sheet =
        "push \"css\", 0, \"TextField\"\ngetVariable\npush \"StyleSheet\"\nnewMethod\nsetVariable\n"
        "push \".red { color: #FF0000; } shout { font-weight: bold; }\", 1, \"css\"\ngetVariable\n"
        "push \"parseCSS\"\ncallMethod\npop\n" +
        setMember("t", "html", "true") + setMember("t", "multiline", "true") + setMemberTo("t", "styleSheet", "css") +
        setMember("t", "htmlText", "\"" + html + "\"") + "push \"t\"\ngetVariable\npush \"htmlText\"\ngetMember\ntrace\n" +
        "push \"t\"\ngetVariable\npush \"styleSheet\"\ngetMember\npush \"css\"\ngetVariable\nequals2\ntrace\n";
    load(kInputField + sheet);
    ASSERT_EQ(text(), "ab\rc");
    EXPECT_EQ(field().content.styleAt(0).color, QColor(Qt::red));
    EXPECT_FALSE(field().content.styleAt(0).bold);
    EXPECT_TRUE(field().content.styleAt(3).bold);
    EXPECT_EQ(movie_->traces, (std::vector<std::string>{html, "true"})) << "htmlText gives back the HTML as it was set";

    type("x");
    movie_->player->textControl(TextControl::Backspace);
    EXPECT_EQ(text(), "ab\rc") << "the field is still an input field, but the user cannot change it";

    // The sheet's own transform makes the formats: here every style is bold.
    // css.transform = function () { var f = new TextFormat(); f.bold = true; return f; };
    // t.htmlText = t.htmlText;
    load(kInputField + sheet +
         "push \"css\"\ngetVariable\npush \"transform\"\nfunction () {\n"
         " push \"f\", 0, \"TextFormat\"\n newObject\n defineLocal\n"
         " push \"f\"\n getVariable\n push \"bold\", true\n setMember\n push \"f\"\n getVariable\n return\n"
         "}\nsetMember\n" +
         "push \"t\"\ngetVariable\npush \"htmlText\", \"t\"\ngetVariable\npush \"htmlText\"\ngetMember\nsetMember\n");
    EXPECT_TRUE(field().content.styleAt(0).bold);
    EXPECT_EQ(field().content.styleAt(0).color, QColor(Qt::black));

    // Taking the sheet away reads the HTML again without it.
    load(kInputField + sheet + setMember("t", "styleSheet", "null"));
    EXPECT_FALSE(field().content.styleAt(3).bold);
    type("x");
    EXPECT_NE(text(), "ab\rc");
}
