// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/frm_ascii.h"

#include "form/cut_input_note.h"
#include "form/form_scale.h"
#include "form/form_style.h"
#include "form/legend.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/pick_combo.h"
#include "form/slot_style.h"
#include "form/tool_tips.h"
#include "form/window_position.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

namespace {

template <typename Widget>
Widget* place(Widget* widget, const QString& name, QRect twips, const QFont& font) {
    widget->setObjectName(name);
    widget->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    // Most controls inherit their font from their group; setting it anyway would cost start-up
    // time.
    if (widget->font() != font)
        widget->setFont(font);
    return widget;
}

QLineEdit* textField(QWidget* parent, const QString& name, QRect twips, const QFont& font,
                     Qt::Alignment alignment = Qt::AlignLeft) {
    auto* field = place(new QLineEdit(parent), name, twips, font);
    field->setAlignment(alignment | Qt::AlignVCenter);
    setBackground(field, White);
    setTextColour(field, Black);
    tellWhenInputIsCut(field);
    return field;
}

// A text field that reads as a caption: flat, on the button face, out of the tab order.
QLineEdit* captionField(QWidget* parent, const QString& name, QRect twips, const QString& text) {
    auto* field = textField(parent, name, twips, labelFont());
    field->setText(text);
    field->setFrame(false);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    setBackground(field, buttonFace());
    return field;
}

QLabel* label(QWidget* parent, const QString& name, QRect twips, Qt::Alignment alignment,
              const QString& text = {}) {
    auto* lbl = place(new QLabel(text, parent), name, twips, labelFont());
    lbl->setAlignment(alignment | Qt::AlignVCenter);
    lbl->setAutoFillBackground(true);
    setBackground(lbl, buttonFace());
    setTextColour(lbl, Black);
    return lbl;
}

QPushButton* button(QWidget* parent, const QString& name, QRect twips, const QString& caption) {
    auto* btn = place(new QPushButton(caption, parent), name, twips, labelFont());
    btn->setAutoDefault(false);
    return btn;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, QRect twips, const QString& caption) {
    return place(new QCheckBox(caption, parent), name, twips, labelFont());
}

OptionButton* optionButton(QWidget* parent, const QString& name, QRect twips,
                           const QString& caption, const QFont& font) {
    return place(new OptionButton(caption, parent), name, twips, font);
}
} // namespace

FrmAscii::FrmAscii(QWidget* parent) : QWidget(parent) {
    applyFormScale();
    setObjectName(QStringLiteral("frmASCII"));
    setWindowTitle(QStringLiteral("ZERBO via ComPort"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(windowFont());
    setAutoFillBackground(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, buttonFace());
    setPalette(face);
    // The design position: the program places the window, not the window system. Where the
    // frame would run off the screen, the window moves only as far as needed, so that the whole
    // window shows while start-up waits for the board.
    setGeometry(twipsRect(1050, 1335, DesignTwips.width(), DesignTwips.height()));
    setFixedSize(size());
    keepOnScreen(*this);

    createToolbar();
    createTable();
    createLegend();
    createBitRow();
    createBottomRows();
    createOptionGroup();
    giveToolTips(*this);
    if (QAccessible::isActive())
        nameSlots();
    else
        QAccessible::installActivationObserver(this);
}

FrmAscii::~FrmAscii() {
    QAccessible::removeActivationObserver(this);
}

void FrmAscii::accessibilityActiveChanged(bool active) {
    if (active)
        nameSlots();
}

void FrmAscii::nameSlots() {
    if (slotsNamed_)
        return;
    slotsNamed_ = true;
    for (int i = 0; i < SlotCount; ++i) {
        const QString code = threeDigits(i);
        lblN[i]->setAccessibleDescription(QStringLiteral("Number %1").arg(code));
        txtN[i]->setAccessibleName(QStringLiteral("Character %1").arg(code));
        optS[i]->setAccessibleName(QStringLiteral("Send character %1").arg(code));
    }
}

std::array<QWidget*, 6> FrmAscii::displayOptions() const {
    return {cmbFontName, cmbFontSize, cmbFontColor, chkN, chkT, chkA};
}

void FrmAscii::closeEvent(QCloseEvent* event) {
    event->accept();
    emit unloading();
}

void FrmAscii::createToolbar() {
    tlbRTF = place(new QFrame(this), QStringLiteral("tlbRTF"), {0, 0, 16560, 390}, labelFont());
    tlbRTF->setFrameShape(QFrame::StyledPanel);
    tlbRTF->setFrameShadow(QFrame::Raised);

    auto combo = [this](const QString& name, QRect twips, const QString& text) {
        auto* cmb = place(new PickCombo(tlbRTF), name, twips, labelFont());
        cmb->setEditText(text);
        cmb->setAccessibleName(text);
        return cmb;
    };
    cmbFontName = combo(QStringLiteral("cmbFontName"), {300, 0, 3135, 360}, QStringLiteral("Font"));
    cmbFontSize =
        combo(QStringLiteral("cmbFontSize"), {3360, 0, 1215, 360}, QStringLiteral("Size"));
    cmbFontColor =
        combo(QStringLiteral("cmbFontColor"), {4500, 0, 1215, 360}, QStringLiteral("Color"));
    chkN =
        checkBox(tlbRTF, QStringLiteral("chkN"), {5940, 60, 1215, 255}, QStringLiteral("Numbers"));
    chkT = checkBox(tlbRTF, QStringLiteral("chkT"), {7440, 60, 1215, 255}, QStringLiteral("Signs"));
    chkA = checkBox(tlbRTF, QStringLiteral("chkA"), {8940, 60, 2775, 255},
                    QStringLiteral("# 000-032 True ZERBO"));
    optHelp = place(new QRadioButton(QStringLiteral("Help"), tlbRTF), QStringLiteral("optHelp"),
                    {11940, 60, 1185, 285}, labelFont());
}

// A plain, transparent container that groups many fields: a repaint then
// only walks the group it touches instead of every control of the window.
QWidget* FrmAscii::group(const QString& name, QRect twips) {
    auto* container = new QWidget(this);
    container->setObjectName(name);
    container->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    container->setFont(labelFont());
    return container;
}

void FrmAscii::createTable() {
    // One group per column of 16 slots; positions inside are relative to it.
    std::array<QWidget*, 16> columns;
    for (int b = 0; b < 2; ++b)
        for (int c = 0; c < 8; ++c)
            columns[8 * b + c] = group(QStringLiteral("slotColumn(%1)").arg(8 * b + c),
                                       {300 + 1500 * c, 540 + 7020 * b, 1500, 16 * 420});
    for (int i = 0; i < SlotCount; ++i) {
        QWidget* column = columns[i / 16];
        const int top = 420 * (i % 16);
        const QString code = threeDigits(i);

        lblN[i] = label(column, QStringLiteral("lblN(%1)").arg(i), {0, 60 + top, 450, 360},
                        i < 16 ? Qt::AlignRight : Qt::AlignHCenter);

        txtN[i] = textField(column, QStringLiteral("txtN(%1)").arg(i), {480, top, 570, 360},
                            labelFont(), Qt::AlignHCenter);

        optS[i] = optionButton(column, QStringLiteral("optS(%1)").arg(i),
                               {1140, 60 + top, 255, 255}, {}, buttonFont());
    }
}

void FrmAscii::createLegend() {
    QWidget* legend = group(QStringLiteral("legend"), {12600, 600, 3645, 300 * LegendRows});
    for (int k = 0; k < LegendRows; ++k) {
        const int top = 300 * k;
        const int number = legendNumberLabel(k), name = legendNameField(k);
        lblN[number] = label(legend, QStringLiteral("lblN(%1)").arg(number), {0, top, 450, 240},
                             Qt::AlignHCenter, threeDigits(k));
        txtN[name] = captionField(legend, QStringLiteral("txtN(%1)").arg(name),
                                  {600, top, 3045, 240}, legendNames()[k]);
    }
    txtN[288] = captionField(this, QStringLiteral("txtN(288)"), {12600, 14460, 3300, 270},
                             QStringLiteral("Signs to be send via TxD"));
    txtN[289] = captionField(this, QStringLiteral("txtN(289)"), {12600, 15420, 3300, 270},
                             QStringLiteral("Time [ms] between the signs"));
    txtN[291] = captionField(this, QStringLiteral("txtN(291)"), {13260, 10740, 2160, 270},
                             QStringLiteral("Asc(Mid(txtS,I,1))"));
    lblN[289] = label(this, QStringLiteral("lblN(289)"), {15840, 13860, 570, 240}, Qt::AlignHCenter,
                      QStringLiteral("Left"));
    lblN[290] = label(this, QStringLiteral("lblN(290)"), {15840, 13380, 450, 240}, Qt::AlignHCenter,
                      QStringLiteral("Top"));
}

void FrmAscii::createBitRow() {
    QWidget* bitRow = group(QStringLiteral("bitRow"), {12480, 11100, 3300, 285});
    txtO = textField(bitRow, QStringLiteral("txtO"), {0, 0, 465, 285}, labelFont(), Qt::AlignRight);
    txtO->setAccessibleName(QStringLiteral("Code"));
    for (int k = 0; k < 8; ++k) {
        txtP[k] = textField(bitRow, QStringLiteral("txtP(%1)").arg(k),
                            {720 + 300 * (7 - k), 0, 225, 270}, labelFont(), Qt::AlignRight);
        txtP[k]->setReadOnly(true); // shows its bit by colour only
        txtP[k]->setAccessibleName(QStringLiteral("Bit %1").arg(k));
    }
    optSendC =
        optionButton(this, QStringLiteral("optSendC"), {15780, 11100, 255, 270}, {}, windowFont());
    optSendC->setAccessibleName(QStringLiteral("Sending continuously"));
    cmdSendC = button(this, QStringLiteral("cmdSendC"), {12480, 11520, 3855, 375},
                      QStringLiteral("Send current sign continuously"));
    cmdStopC = button(this, QStringLiteral("cmdStopC"), {12480, 12000, 3855, 375},
                      QStringLiteral("Stop sending the sign"));
    cmdBackShowHide = button(this, QStringLiteral("cmdBackShowHide"), {12480, 12660, 3855, 375},
                             QStringLiteral("Show background"));
    cmdSetPos = button(this, QStringLiteral("cmdSetPos"), {12480, 13320, 2235, 375},
                       QStringLiteral("Set form position"));
    txtTop = textField(this, QStringLiteral("txtTop"), {14820, 13320, 945, 360}, windowFont(),
                       Qt::AlignRight);
    txtTop->setAccessibleName(QStringLiteral("Top"));
    cmdCenter = button(this, QStringLiteral("cmdCenter"), {12480, 13800, 2235, 375},
                       QStringLiteral("Set form center"));
    txtLeft = textField(this, QStringLiteral("txtLeft"), {14820, 13800, 945, 390}, windowFont(),
                        Qt::AlignRight);
    txtLeft->setAccessibleName(QStringLiteral("Left"));

    rtfData0 = place(new QTextEdit(this), QStringLiteral("rtfData(0)"), {13200, 14820, 495, 435},
                     windowFont());
    rtfData0->setCurrentFont(windowFont());
    rtfData0->setPlainText(QStringLiteral("1"));
    rtfData0->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rtfData0->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rtfData0->setAccessibleName(QStringLiteral("Colour sample"));
}

void FrmAscii::createBottomRows() {
    txtS = textField(this, QStringLiteral("txtS"), {780, 14400, 11625, 360}, windowFont());
    txtS->setMaxLength(32767);
    txtS->setAccessibleName(QStringLiteral("Signs to be send via TxD"));
    prgBar = place(new QProgressBar(this), QStringLiteral("prgBar"), {780, 14880, 11625, 255},
                   labelFont());
    prgBar->setRange(0, ProgressEnd);
    prgBar->setValue(0);
    prgBar->setTextVisible(false);
    prgBar->setAccessibleName(QStringLiteral("Progress"));

    optTxD = optionButton(this, QStringLiteral("optTxD"), {780, 15240, 2055, 225},
                          QStringLiteral("TxD Send"), labelFont());
    optRxD = optionButton(this, QStringLiteral("optRxD"), {780, 15540, 2055, 225},
                          QStringLiteral("RxD Receive"), labelFont());
    chkOpen = checkBox(this, QStringLiteral("chkOpen"), {2820, 15240, 2055, 225},
                       QStringLiteral("Port open"));
    chkClosed = checkBox(this, QStringLiteral("chkClosed"), {2820, 15540, 2055, 225},
                         QStringLiteral("Port closed"));
    cmdCom1 =
        button(this, QStringLiteral("cmdCom1"), {5100, 15360, 1215, 375}, QStringLiteral("Com1"));
    cmdMan =
        button(this, QStringLiteral("cmdMan"), {6420, 15360, 1215, 375}, QStringLiteral("Man"));
    cmdNew =
        button(this, QStringLiteral("cmdNew"), {7740, 15360, 1215, 375}, QStringLiteral("New"));
    cmdExit =
        button(this, QStringLiteral("cmdExit"), {9060, 15360, 1215, 375}, QStringLiteral("Exit"));
    cmdSend =
        button(this, QStringLiteral("cmdSend"), {10380, 15360, 1215, 375}, QStringLiteral("Send"));
    cmdCom1->setEnabled(false);
    cmdMan->setEnabled(false);
    cmdNew->setEnabled(false);
    txtTime = textField(this, QStringLiteral("txtTime"), {11760, 15360, 705, 360}, windowFont(),
                        Qt::AlignRight);
    txtTime->setAccessibleName(QStringLiteral("Time [ms] between the signs"));
}

void FrmAscii::createOptionGroup() {
    options = new OptionGroup(this);
    options->add(optRxD);
    for (OptionButton* slot : optS)
        options->add(slot);
    options->add(optTxD);
    options->add(optSendC);

    // Tab order follows the keyboard order of the group.
    QWidget* previous = optRxD;
    for (OptionButton* slot : optS) {
        setTabOrder(previous, slot);
        previous = slot;
    }
    setTabOrder(previous, optTxD);
    setTabOrder(optTxD, optSendC);
}
