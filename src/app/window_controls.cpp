#include "app/window_controls.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/header_bar.h"
#include "app/sheet_captions.h"
#include "app/up_down.h"
#include "app/upper_case_edit.h"
#include "editing/sheet_editing.h"
#include "model/sheets.h"

namespace kestra {
namespace {

constexpr int kRight = 666;  // left edge of the command column
constexpr int kRightWidth = 129;

constexpr const char* kCommandHelp[] = {"btnCreateCode", "btnShowSongHelp", "btnRedChanHelp",
                                        "btnImpMsgHelp", "btnImpRem",       "btnHelpBefAf"};

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QPushButton* button(QWidget* parent, const char* text, const char* name, int x, int y, int w,
                    int h = 25) {
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(x, y, w, h);
    return b;
}

QLabel* label(QWidget* parent, const QString& text, const char* name, int x, int y) {
    auto* l = named(new QLabel(text, parent), name);
    l->setTextFormat(Qt::PlainText);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QGroupBox* radioGroup(QWidget* parent, const char* title, const char* name, const QRect& rect,
                      const QStringList& items, QButtonGroup** group) {
    auto* box = named(new QGroupBox(title, parent), name);
    box->setGeometry(rect);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->setSpacing(2);
    *group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setObjectName(QString("%1Item%2").arg(name).arg(i));
        radio->setFocusPolicy(Qt::TabFocus);
        layout->addWidget(radio);
        (*group)->addButton(radio, i);
    }
    (*group)->button(0)->setChecked(true);
    return box;
}

template <size_t N>
QStringList itemList(const std::array<std::string_view, N>& items) {
    QStringList list;
    for (std::string_view item : items)
        list << QString::fromLatin1(item.data(), static_cast<int>(item.size()));
    return list;
}

}  // namespace

const char* const* commandHelpButtonNames(int* count) {
    *count = static_cast<int>(std::size(kCommandHelp));
    return kCommandHelp;
}

WindowControls buildWindowControls(QWidget* window) {
    WindowControls c{};
    c.btnSelectRom = button(window, "Select File", "btnSelectRom", 8, 8, 88);
    c.lblLoadedFile = label(window, "Loaded: ----", "lblLoadedFile", 8, 40);
    c.lblLoadedFile->setFixedWidth(186);

    c.groupBox1 = named(new QGroupBox("Song ID/Address", window), "GroupBox1");
    c.groupBox1->setGeometry(198, 2, 304, 68);
    const QString songIdText = "Song ID:                 Of  --";
    c.lblSongID = label(c.groupBox1, songIdText, "lblSongID", 8, 22);
    // The Song ID box and its arrows sit over the blank stretch of the label.
    QFontMetrics metrics(c.lblSongID->font());
    int blankStart = 8 + metrics.horizontalAdvance("Song ID: ");
    c.txtSongID = named(new QLineEdit("1", c.groupBox1), "txtSongID");
    c.txtSongID->setMaxLength(3);
    c.txtSongID->setGeometry(blankStart, 18, 30, 21);
    c.txtSongID->setEnabled(false);
    c.songIdUpDown = named(new UpDown(c.groupBox1), "SongIDUpDown");
    c.songIdUpDown->setGeometry(blankStart + 30, 18, 15, 21);
    c.songIdUpDown->setEnabled(false);
    // The address box starts where "Of 255" ends, in any font and scale; the button goes under
    // it, beside the current address, which leaves room on the first row.
    int addressX = 8 + metrics.horizontalAdvance("Song ID:                 Of  255") + 4;
    c.txtAddress = named(new UpperCaseEdit(c.groupBox1), "txtAddress");
    c.txtAddress->setMaxLength(5);
    c.txtAddress->setGeometry(addressX, 18, 48, 21);
    c.lblCurAddress = label(c.groupBox1, "Current Read/Write: $-----", "lblCurAddress", 8, 46);
    QFont bold = c.lblCurAddress->font();
    bold.setBold(true);
    c.lblCurAddress->setFont(bold);
    QFontMetrics boldMetrics(bold);
    int labelWidth = boldMetrics.horizontalAdvance("Current Read/Write: $WWWWW") + 4;
    c.lblCurAddress->setFixedWidth(labelWidth);
    c.btnAddress = button(c.groupBox1, "Set address to r/w", "btnAddress", 0, 0, 0);
    int buttonWidth = std::max(106, c.btnAddress->sizeHint().width());
    int buttonX = std::min(8 + labelWidth + 4, 298 - buttonWidth);
    c.btnAddress->setGeometry(buttonX, 41, buttonWidth, 23);
    c.lblCurAddress->setFixedWidth(std::min(labelWidth, buttonX - 4 - 8));
    // "Find place" takes the room the first row keeps right of the address box.
    const int findX = addressX + 48 + 6;
    c.btnFindPlace = button(c.groupBox1, "Find place", "btnFindPlace", findX, 17, 298 - findX, 23);

    c.lblInstrumentlist = label(window, "Instrument List", "lblInstrumentlist", 508, 4);
    c.cbxInstrument = named(new QComboBox(window), "cbxInstrument");
    c.cbxInstrument->setGeometry(508, 20, 150, 22);
    for (const std::string& item : instrumentListItems())
        c.cbxInstrument->addItem(QString::fromStdString(item));
    c.cbxInstrument->setCurrentIndex(0);
    c.cbxInstrument->setFocusPolicy(Qt::ClickFocus);
    c.lblFrame = label(window, "Frame", "lblFrame", 508, 46);
    c.lblFrame->hide();
    c.cbxFrame = named(new QComboBox(window), "cbxFrame");
    c.cbxFrame->setGeometry(548, 44, 60, 22);
    for (const std::string& item : frameListItems(1))
        c.cbxFrame->addItem(QString::fromStdString(item));
    c.cbxFrame->setCurrentIndex(0);
    c.cbxFrame->hide();
    c.btnCreateInst = button(window, "Create instrument", "btnCreateInst", kRight, 446, 110);
    c.btnCreateInst->hide();

    makeHelpButton(window, "btnImpMsgHelp", 8, 76, 20, 21);
    c.lblErrorMsg = label(window, "Important message", "lblErrorMsg", 32, 80);
    c.txtImpMess = named(new QLineEdit(window), "txtImpMess");
    c.txtImpMess->setGeometry(142, 76, 492, 21);
    c.txtImpMess->setReadOnly(true);
    c.txtImpMess->setFocusPolicy(Qt::ClickFocus);
    makeHelpButton(window, "btnImpRem", 638, 76, 20, 21);

    c.gbxChan = radioGroup(window, "Channel", "gbxChan", QRect(kRight, 2, kRightWidth, 94),
                           itemList(channelItemCaptions()), &c.chanGroup);
    c.gbxSheet = radioGroup(window, "Sheet", "gbxSheet", QRect(kRight, 98, kRightWidth, 112),
                            itemList(sheetItemCaptions()), &c.sheetGroup);

    c.btnRead = button(window, "Read Channel", "btnRead", kRight, 216, 104);
    makeHelpButton(window, "btnRedChanHelp", kRight + 107, 216, 22, 25);
    c.btnShow = button(window, "Show Song", "btnShow", kRight, 246, 104);
    makeHelpButton(window, "btnShowSongHelp", kRight + 107, 246, 22, 25);
    c.btnCreateSong = button(window, "Create Code", "btnCreateSong", kRight, 276, 104);
    makeHelpButton(window, "btnCreateCode", kRight + 107, 276, 22, 25);

    c.cbxBefAft =
        radioGroup(window, "Where to add the lines", "cbxBefAft",
                   QRect(kRight, 310, kRightWidth, 66), {"Before", "After"}, &c.befAftGroup);
    makeHelpButton(c.cbxBefAft, "btnHelpBefAf", kRightWidth - 28, 24, 22, 22);
    c.btnAddLines = button(window, "Add lines", "btnAddLines", kRight, 384, 78);
    c.txtNbLineAdd = named(new QLineEdit(window), "txtNbLineAdd");
    c.txtNbLineAdd->setGeometry(kRight + 84, 386, 45, 21);
    c.btnRemLine = button(window, "Remove Line", "btnRemLine", kRight, 414, 78);

    c.lblHelper = named(new QLabel(window), "lblHelper");
    c.lblHelper->hide();
    return c;
}

}  // namespace kestra
