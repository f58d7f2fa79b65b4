// Popups answered by a script, the run-time's own message dialog, and the confirmation dialog itself
// answered from the keyboard.
#include "desktop.h"
#include "platform/ui/layer.h"
#include "platform/ui/popup_script.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

TEST(UiPopups, ScriptAnswersInOrderAndRecordsEveryPopup) {
    ScriptedPopups popups;
    popups.AnswerConfirm(true).ExpectMessage().AnswerFile("/tmp/x.ecd", VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(ConfirmPopup("Exit", "Exit without saving changes?"), 1);
    EXPECT_EQ(MessagePopup("Load", "Done!"), 0);
    std::array<char, 260> path{};
    EXPECT_EQ(FileSelectPopup("", "*.ecd", "*.ecd", "Store", VAL_SAVE_BUTTON, 0, 1, 1, 1, path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_STREQ(path.data(), "/tmp/x.ecd");
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 3u);
    EXPECT_EQ(popups.Records()[0].text, "Exit without saving changes?");
    EXPECT_EQ(popups.Records()[1].title, "Load");
    EXPECT_EQ(popups.Records()[2].kind, PopupKind::FileSelect);
}

TEST(UiPopups, UnexpectedPopupsAreRecordedAndAnsweredNo) {
    ScriptedPopups popups;
    popups.ExpectMessage();
    EXPECT_EQ(ConfirmPopup("Quit", "Sure?"), 0); // the queue expects a message, not this
    std::array<char, 16> path{'x'};
    EXPECT_EQ(FileSelectPopup("", "", "", "Load", VAL_LOAD_BUTTON, 0, 0, 1, 0, path), VAL_NO_FILE_SELECTED);
    EXPECT_STREQ(path.data(), "");
    EXPECT_EQ(popups.UnexpectedCount(), 2);
    EXPECT_EQ(popups.Unused(), 1u);
    EXPECT_FALSE(popups.AllExpected());
}

TEST(UiPopups, PathThatDoesNotFitIsNoChoice) {
    ScriptedPopups popups;
    popups.AnswerFile("/a/rather/long/path.ecd");
    std::array<char, 8> path{};
    EXPECT_LT(FileSelectPopup("", "", "", "Load", VAL_LOAD_BUTTON, 0, 0, 1, 0, path), 0);
    EXPECT_STREQ(path.data(), "");
}

TEST(UiPopups, ScriptsNestAndRestore) {
    ScriptedPopups outer;
    {
        ScriptedPopups inner;
        inner.AnswerConfirm(true);
        EXPECT_EQ(ConfirmPopup("a", "b"), 1);
    }
    EXPECT_EQ(ConfirmPopup("a", "b"), 0);
    EXPECT_EQ(outer.UnexpectedCount(), 1);
}

// Every popup the run-time shows itself (a message, a question, a file dialog): owned by the window it
// belongs to, the window of the panel at work or the popup over it, as wide as its title needs beside a
// title bar's icon and buttons (a window manager cuts a title that has no room to ".."), a message as wide
// as its text, and centred on its window wherever that window stands, as far as the screen allows.
TEST_F(UiTest, EveryDialogFitsItsTitleAndIsCentredOnItsWindow) {
    const PopupHook none = SetPopupHook({}); // the run-time's own dialogs
    // A popup over the window, as the programs have them: a child panel, a window of its own once shown.
    const int dialog = LoadPanel(main, "sample.uir", CHILD::id);
    ASSERT_GT(dialog, 0);
    ASSERT_EQ(InstallPopup(dialog), 0);
    RemovePopup(0);
    const auto message = [](const char* text) {
        return [text](const char* title) { MessagePopup(title, text); };
    };
    const auto question = [](const char* text) {
        return [text](const char* title) { ConfirmPopup(title, text, ConfirmDefault::No); };
    };
    const auto file = [](int button) {
        return [button](const char* title) {
            std::array<char, 260> path{};
            FileSelectPopup("/tmp", "*.ecd", "*.ecd", title, button, 0, 1, 1, 1, path);
        };
    };
    struct Case {
        const char* title;
        std::function<void(const char*)> ask;
        bool overPopup;
    };
    const Case kCases[] = {
        {"Receive", message("Done!"), false},
        {"Load ECU mapping data", message("Invalid data!\nData stored by another application."), false},
        {"Send", message("Done!"), true},
        {"Load ECU configuration data", question("Data stored by T484 v1.13\n\nLoad anyway?"), false},
        {"Map Tuning", question("Load Map-Tuning Data?"), true},
        {"Load ECU configuration data", file(VAL_LOAD_BUTTON), false},
        {"Store ECU mapping data", file(VAL_SAVE_BUTTON), true},
    };
    SetPanelAttribute(main, ATTR_LEFT, 330);
    SetPanelAttribute(main, ATTR_TOP, 210);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.title);
        if (c.overPopup) {
            SetPanelAttribute(dialog, ATTR_LEFT, 40);
            SetPanelAttribute(dialog, ATTR_TOP, 30);
            ASSERT_EQ(InstallPopup(dialog), 0);
        }
        const QWidget* owner = ui::FindPanel(c.overPopup ? dialog : main)->frame->window();
        const QWidget* ownedBy = nullptr;
        QRect shown;
        QString title;
        int labelRoom = 0, labelNeeds = 0;
        std::function<void()> look = [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (box == nullptr) return uitest::Later(look); // not up yet
            ownedBy = box->parentWidget();
            shown = box->frameGeometry();
            title = box->windowTitle();
            if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                labelRoom = label->width();
                labelNeeds = label->sizeHint().width();
            }
            if (const char* dir = std::getenv("ORVANE_SHOT_DIR"))
                box->grab().save(QString::fromLocal8Bit(dir) + "/popup-" + title + ".png");
            box->reject();
        };
        uitest::Later(look);
        c.ask(c.title);
        EXPECT_EQ(title, QString::fromUtf8(c.title));
        EXPECT_EQ(ownedBy, owner);
        QFont bold = QApplication::font();
        bold.setBold(true);
        EXPECT_GE(shown.width(), QFontMetrics(bold).horizontalAdvance(title) + 100)
            << "no room for the title";
        EXPECT_GE(labelRoom, labelNeeds) << "the text is cut";
        ExpectCentredOnScreen(shown, owner->frameGeometry());
        if (c.overPopup) RemovePopup(0);
    }
    DiscardPanel(dialog);
    SetPopupHook(none);
}

// A panel shown as a popup opens centred on the window it belongs to (a child panel's parent window, a
// window's the window at work) at every opening, wherever the user left that window and the popup; one
// the program placed opens at its place.
TEST_F(UiTest, PanelPopupOpensCentredOnItsWindowUnlessPlaced) {
    const int child = LoadPanel(main, "sample.uir", CHILD::id);
    const int dialog = LoadPanel(0, "sample.uir", DLG::id);
    ASSERT_GT(child, 0);
    ASSERT_GT(dialog, 0);
    // Opens the popup, notes where it shows, lets the user drag it away and closes it.
    const auto open = [&](int popup) {
        EXPECT_EQ(InstallPopup(popup), 0);
        const QRect shown = FrameOf(popup);
        EXPECT_EQ(uitest::MoveWindow(popup, 5, 7), 0);
        RemovePopup(0);
        return shown;
    };
    const auto expectCentred = [&](const QRect& shown) { ExpectCentredOnScreen(shown, FrameOf(main)); };
    const QPoint mainPlaces[] = {{330, 210}, {60, 40}, {480, 90}};
    for (const int popup : {child, dialog}) {
        SCOPED_TRACE(popup == child ? "child panel" : "window");
        for (const QPoint& at : mainPlaces) {
            // The user drags the main window elsewhere and goes on working in it.
            ASSERT_EQ(uitest::MoveWindow(main, at.x(), at.y()), 0);
            SetActivePanel(main);
            expectCentred(open(popup));
        }
        for (const QPoint& at : mainPlaces) {
            ASSERT_EQ(uitest::MoveWindow(main, at.x(), at.y()), 0);
            SetPanelAttribute(popup, ATTR_LEFT, 20);
            SetPanelAttribute(popup, ATTR_TOP, 25);
            EXPECT_EQ(open(popup).topLeft(), QPoint(20, 25)) << "placed: opens there";
        }
    }
    DiscardPanel(dialog);
    DiscardPanel(child);
}

// A popup centred on its window stays on the screen wherever that window stands: with the window at any
// corner of the screen's available area, flush with its edges or hanging over them, a message, a question,
// a file dialog (larger than the window, as Kestil's is) and a panel shown as a popup (taller than it)
// open inside the area, as near centred on the window as the area allows.
TEST_F(UiTest, EveryPopupOpensOnTheScreenWhereverItsWindowStands) {
    const PopupHook none = SetPopupHook({}); // the run-time's own dialogs
    const int child = LoadPanel(main, "sample.uir", CHILD::id);
    ASSERT_GT(child, 0);
    // A dialog of the run-time, asked for; where it showed.
    const auto dialog = [](std::function<void()> ask) {
        return [ask] {
            QRect shown;
            std::function<void()> look = [&] {
                auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (box == nullptr) return uitest::Later(look); // not up yet
                shown = box->frameGeometry();
                box->reject();
            };
            uitest::Later(look);
            ask();
            return shown;
        };
    };
    const std::pair<const char*, std::function<QRect()>> kPopups[] = {
        {"message", dialog([] { MessagePopup("Send", "Done!"); })},
        {"question", dialog([] { ConfirmPopup("Exit", "Exit without saving changes?"); })},
        {"file dialog", dialog([] {
             std::array<char, 260> path{};
             FileSelectPopup("/tmp", "*.kbf", "*.kbf", "Firmware File", VAL_LOAD_BUTTON, 0, 0, 1, 1, path);
         })},
        {"panel",
         [child] {
             EXPECT_EQ(InstallPopup(child), 0);
             const QRect shown = FrameOf(child);
             RemovePopup(0);
             return shown;
         }},
    };
    const QRect area = ScreenArea();
    const QSize size = FrameOf(main).size();
    const int left = area.left(), right = area.right() + 1 - size.width();
    const int top = area.top(), bottom = area.bottom() + 1 - size.height();
    constexpr int kOver = 60; // how far the window hangs over the edges
    const QPoint places[] = {
        {left, top},
        {right, top},
        {left, bottom},
        {right, bottom},
        {left - kOver, top - kOver},
        {right + kOver, top - kOver},
        {left - kOver, bottom + kOver},
        {right + kOver, bottom + kOver},
    };
    for (const QPoint& at : places) {
        ASSERT_EQ(uitest::MoveWindow(main, at.x(), at.y()), 0);
        SetActivePanel(main);
        for (const auto& [what, open] : kPopups) {
            SCOPED_TRACE(testing::Message() << what << " over the window at " << at.x() << "," << at.y());
            ExpectCentredOnScreen(open(), FrameOf(main));
        }
    }
    DiscardPanel(child);
    SetPopupHook(none);
}

// What a column of a file dialog's list cuts: its name and the widths it has and needs; empty when every
// column shows whole.
QString CutColumn(const QTreeView& view) {
    const QHeaderView& header = *view.header();
    if (header.length() > view.viewport()->width())
        return QString("the columns take %1 pixels of %2").arg(header.length()).arg(view.viewport()->width());
    for (int i = 0; i < header.count(); ++i) {
        const int needs = static_cast<const QAbstractItemView&>(view).sizeHintForColumn(i);
        if (header.sectionSize(i) < needs)
            return QString("%1: %2 of %3 pixels")
                .arg(view.model()->headerData(i, Qt::Horizontal).toString())
                .arg(header.sectionSize(i))
                .arg(needs);
    }
    return {};
}

// A file dialog lists its files with every column whole, for opening and for storing: the names, the
// sizes of a mapping data set, the types and the dates of the day are not cut.
TEST_F(UiTest, FileDialogListsEveryColumnWhole) {
    const PopupHook none = SetPopupHook({}); // the run-time's own dialogs
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ui-file-columns-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::pair<const char*, std::size_t> kFiles[] = {
        {"T484 v1.13 road.emd", 173016}, {"T484 v1.13 road.ecd", 3032}, {"sample-DrvlnTmk.kbf", 40448}};
    for (const auto& [name, size] : kFiles)
        std::ofstream(dir / name, std::ios::binary) << std::string(size, 'x');
    // The dialog starts as it first does for a user, not with the columns that an earlier one left in the
    // user's settings (where it keeps them).
    const QString userSettings = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const std::filesystem::path settings = dir.string() + "-settings";
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings.string()));
    for (const int button : {VAL_LOAD_BUTTON, VAL_SAVE_BUTTON}) {
        SCOPED_TRACE(button == VAL_LOAD_BUTTON ? "open" : "store");
        // The dialog reads the folder after it shows: the columns are looked at once it lists every file
        // and fits them, or after a while in which it did not.
        QString cut = "the files are not listed";
        QElapsedTimer clock;
        clock.start();
        std::function<void()> look = [&] {
            auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (const QTreeView* view = box != nullptr ? box->findChild<QTreeView*>() : nullptr) {
                if (view->model()->rowCount(view->rootIndex()) == std::ssize(kFiles)) cut = CutColumn(*view);
                if (cut.isEmpty() || clock.elapsed() > 10000) return box->reject();
            }
            uitest::Later(look);
        };
        uitest::Later(look);
        std::array<char, 260> path{};
        FileSelectPopup(dir.c_str(), "", "", "Load ECU mapping data", button, 0, 0, 1, 1, path);
        EXPECT_EQ(cut.toStdString(), "");
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings);
    std::filesystem::remove_all(settings);
    std::filesystem::remove_all(dir);
    SetPopupHook(none);
}

// The confirmation dialog as the user meets it: Enter presses the button the question chose as its
// default; Escape and the close box answer No whatever the default.
TEST(UiPopups, ConfirmationDialogAnswersEnterWithItsDefaultAndEscapeOrCloseWithNo) {
    const auto key = [](int code) {
        return [code](QMessageBox& box) {
            QWidget* target = box.focusWidget() != nullptr ? box.focusWidget() : &box;
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        };
    };
    struct Case {
        const char* what;
        ConfirmDefault enter;
        std::function<void(QMessageBox&)> act;
        int answer;
    };
    const Case cases[] = {
        {"Enter, default Yes", ConfirmDefault::Yes, key(Qt::Key_Return), 1},
        {"Enter, default No", ConfirmDefault::No, key(Qt::Key_Return), 0},
        {"keypad Enter, default No", ConfirmDefault::No, key(Qt::Key_Enter), 0},
        {"Escape, default Yes", ConfirmDefault::Yes, key(Qt::Key_Escape), 0},
        {"Escape, default No", ConfirmDefault::No, key(Qt::Key_Escape), 0},
        {"close box, default Yes", ConfirmDefault::Yes, [](QMessageBox& box) { box.close(); }, 0},
    };
    ui::EnsureApp(); // the user's timer needs the application's event loop
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The user acts once the dialog is up. A dialog that his action left open fails the case and is
        // closed, so that nothing waits for ever.
        bool acted = false;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            if (acted) {
                ADD_FAILURE() << "the dialog stayed open";
                box->done(-1);
                return;
            }
            acted = true;
            c.act(*box);
        });
        user.start(5);
        EXPECT_EQ(ConfirmPopup("Maps", "Lose it?", c.enter), c.answer);
        EXPECT_TRUE(acted);
    }
}

// A question asked just after the program closed a window of its own, while the display still reports
// that window as the active one, waits for the user rather than going with the closed window.
TEST_F(UiTest, QuestionAskedAsAWindowClosesWaitsForTheUser) {
    const int window = LoadPanel(0, "sample.uir", DLG::id);
    ASSERT_EQ(DisplayPanel(window), 0);
    DiscardPanel(window);
    ASSERT_EQ(uitest::MoveWindow(main, 40, 40), 0); // the display's news of the closed window arrives
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    user.start(5);
    EXPECT_EQ(ConfirmPopup("Exit", "Exit without saving changes?"), 1);
}

// A script's Enter answers with the question's default button, and every record keeps that default.
TEST(UiPopups, ScriptedEnterPressesTheQuestionsDefault) {
    ScriptedPopups popups;
    popups.PressEnter().PressEnter();
    EXPECT_EQ(ConfirmPopup("a", "keep going?"), 1);
    EXPECT_EQ(ConfirmPopup("b", "throw it away?", ConfirmDefault::No), 0);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[0].enter, ConfirmDefault::Yes);
    EXPECT_EQ(popups.Records()[1].enter, ConfirmDefault::No);
}

} // namespace
