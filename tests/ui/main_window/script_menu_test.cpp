#include "core/text/script_converter.h"
#include "support/open_book.h"
#include "support/reader_fixture.h"

#include <QAction>
#include <QMenu>

namespace {

const QString kTraditional =
    QStringLiteral("第一回　說楔子\r\n人生南北多歧路，將相神仙。\r\n第二回　王孝廉村學識同科\r\n話說。\r\n");

class ScriptMenu : public ReaderFixture {
protected:
    QMenu& Menu() { return *window->findChild<QMenu*>(QStringLiteral("scriptMenu")); }
    // The item as the user finds it on opening the menu.
    QAction& Item(const char* name)
    {
        emit Menu().aboutToShow();
        return *window->findChild<QAction*>(QString::fromLatin1(name));
    }
};

// 繁→简 from the menu: the pane, the window's caption and the chapter menu
// show the book in simplified characters.
TEST_F(ScriptMenu, ChoosingToSimplifiedShowsTheBookConverted)
{
    EXPECT_EQ(qobject_cast<QMenu*>(Menu().parent())->title(), QStringLiteral("查看"));
    EXPECT_FALSE(Item("toSimplifiedAction").isEnabled()) << "nothing to convert without a book";

    OpenBook(*window, WriteBook(QStringLiteral("儒林.txt"), kTraditional));
    window->ShowChapterFromMenu(0);
    EXPECT_TRUE(Item("noConversionAction").isChecked());
    Item("toSimplifiedAction").trigger();
    EXPECT_EQ(window->Pane().Text(), QStringLiteral("人生南北多歧路，将相神仙。\r\n"));
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("第一回　说楔子")));
    EXPECT_EQ(window->ChapterItems().Caption(1), QStringLiteral("1\t第二回　王孝廉村学识同科"));
    EXPECT_TRUE(Item("toSimplifiedAction").isChecked());
    EXPECT_FALSE(Item("noConversionAction").isChecked());
}

// Without OpenCC's tables the choices cannot be made, and the menu says why.
TEST_F(ScriptMenu, WithoutOpenCcTheChoicesAreDisabledAndTheMenuSaysWhy)
{
    window->Reading().Scripts() = ScriptConverters(QStringLiteral("/nonexistent/opencc"));
    OpenBook(*window, WriteBook(QStringLiteral("儒林.txt"), kTraditional));
    EXPECT_FALSE(Item("toSimplifiedAction").isEnabled());
    EXPECT_FALSE(Item("toTraditionalAction").isEnabled());
    const QAction& note = Item("scriptProblemNote");
    EXPECT_TRUE(note.isVisible());
    EXPECT_TRUE(note.text().contains(QStringLiteral("OpenCC")));
}

}  // namespace
