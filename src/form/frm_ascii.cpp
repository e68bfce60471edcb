// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/frm_ascii.h"

#include "base/charset.h"
#include "form/form_scale.h"
#include "form/form_widgets.h"
#include "form/legend.h"
#include "form/option_button.h"
#include "form/option_group.h"
#include "form/pick_combo.h"
#include "form/status_line.h"
#include "form/tool_tips.h"
#include "form/window_design.h"
#include "form/window_position.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

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
    using namespace WindowDesign;
    setGeometry(
        twipsRect(WaitingTwips.x(), WaitingTwips.y(), ClientTwips.width(), ClientTwips.height()));
    setFixedSize(size());
    keepOnScreen(*this);

    createToolbar();
    createTable();
    createLegendAndCaptions();
    createBitRow();
    createBottomRows();
    createOptionGroup();
    createStatusLine();
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
        const Slot& slot = slots_[static_cast<size_t>(i)];
        slot.number->setAccessibleDescription(QStringLiteral("Number %1").arg(code));
        slot.character->setAccessibleName(QStringLiteral("Character %1").arg(code));
        slot.sendButton->setAccessibleName(QStringLiteral("Send character %1").arg(code));
    }
}

void FrmAscii::closeEvent(QCloseEvent* event) {
    event->accept();
    emit unloading();
}

void FrmAscii::createStatusLine() {
    statusLine_ = place(new StatusLine(this), QStringLiteral("statusLine"),
                        {0, WindowDesign::DesignTwips.height(), WindowDesign::ClientTwips.width(),
                         WindowDesign::StatusTwips},
                        labelFont());
    statusLine_->setAccessibleName(QStringLiteral("Status"));
}

bool FrmAscii::focusNextPrevChild(bool next) {
    return focusKeeper_.keepFromDisabled() || QWidget::focusNextPrevChild(next);
}

void FrmAscii::createToolbar() {
    tlbRTF_ = place(new QFrame(this), QStringLiteral("tlbRTF"), {0, 0, 16560, 390}, labelFont());
    tlbRTF_->setFrameShape(QFrame::StyledPanel);
    tlbRTF_->setFrameShadow(QFrame::Raised);

    auto combo = [this](const QString& name, QRect twips, const QString& text) {
        auto* cmb = place(new PickCombo(tlbRTF_), name, twips, labelFont());
        cmb->setEditText(text);
        cmb->setAccessibleName(text);
        return cmb;
    };
    cmbFontName_ =
        combo(QStringLiteral("cmbFontName"), {300, 0, 3135, 360}, QStringLiteral("Font"));
    cmbFontSize_ =
        combo(QStringLiteral("cmbFontSize"), {3360, 0, 1215, 360}, QStringLiteral("Size"));
    cmbFontColor_ =
        combo(QStringLiteral("cmbFontColor"), {4500, 0, 1215, 360}, QStringLiteral("Color"));
    chkN_ =
        checkBox(tlbRTF_, QStringLiteral("chkN"), {5940, 60, 1215, 255}, QStringLiteral("Numbers"));
    chkT_ =
        checkBox(tlbRTF_, QStringLiteral("chkT"), {7440, 60, 1215, 255}, QStringLiteral("Signs"));
    chkA_ = checkBox(tlbRTF_, QStringLiteral("chkA"), {8940, 60, 2775, 255},
                     QStringLiteral("# 000-032 True ZERBO"));
    optHelp_ = place(new QRadioButton(QStringLiteral("Help"), tlbRTF_), QStringLiteral("optHelp"),
                     {11940, 60, 1185, 285}, labelFont());
}

void FrmAscii::createTable() {
    // One group per column of 16 slots; positions inside are relative to it.
    std::array<QWidget*, 16> columns;
    for (int b = 0; b < 2; ++b)
        for (int c = 0; c < 8; ++c)
            columns[8 * b + c] = group(this, QStringLiteral("slotColumn(%1)").arg(8 * b + c),
                                       {300 + 1500 * c, 540 + 7020 * b, 1500, 16 * 420});
    for (int i = 0; i < SlotCount; ++i) {
        QWidget* column = columns[i / 16];
        const int top = 420 * (i % 16);
        Slot& slot = slots_[static_cast<size_t>(i)];

        slot.number = label(column, QStringLiteral("lblN(%1)").arg(i), {0, 60 + top, 450, 360},
                            i < 16 ? Qt::AlignRight : Qt::AlignHCenter);

        slot.character = textField(column, QStringLiteral("txtN(%1)").arg(i), {480, top, 570, 360},
                                   labelFont(), Qt::AlignHCenter);

        slot.sendButton = optionButton(column, QStringLiteral("optS(%1)").arg(i),
                                       {1140, 60 + top, 255, 255}, {}, buttonFont());
    }
}

void FrmAscii::createLegendAndCaptions() {
    legend_ =
        createLegend(group(this, QStringLiteral("legend"), {12600, 600, 3645, 300 * LegendRows}));
    captions_.txtS = captionField(this, QStringLiteral("txtN(288)"), {12600, 14460, 3300, 270},
                                  QStringLiteral("Signs to be send via TxD"));
    captions_.txtTime = captionField(this, QStringLiteral("txtN(289)"), {12600, 15420, 3300, 270},
                                     QStringLiteral("Time [ms] between the signs"));
    captions_.bitRow = captionField(this, QStringLiteral("txtN(291)"), {13260, 10740, 2160, 270},
                                    QStringLiteral("Asc(Mid(txtS,I,1))"));
    captions_.txtLeft = label(this, QStringLiteral("lblN(289)"), {15840, 13860, 570, 240},
                              Qt::AlignHCenter, QStringLiteral("Left"));
    captions_.txtTop = label(this, QStringLiteral("lblN(290)"), {15840, 13380, 450, 240},
                             Qt::AlignHCenter, QStringLiteral("Top"));
}

void FrmAscii::createBitRow() {
    QWidget* bitRow = group(this, QStringLiteral("bitRow"), {12480, 11100, 3300, 285});
    txtO_ =
        textField(bitRow, QStringLiteral("txtO"), {0, 0, 465, 285}, labelFont(), Qt::AlignRight);
    txtO_->setAccessibleName(QStringLiteral("Code"));
    for (int k = 0; k < 8; ++k) {
        txtP_[k] = textField(bitRow, QStringLiteral("txtP(%1)").arg(k),
                             {720 + 300 * (7 - k), 0, 225, 270}, labelFont(), Qt::AlignRight);
        txtP_[k]->setReadOnly(true); // shows its bit by colour only
        txtP_[k]->setAccessibleName(QStringLiteral("Bit %1").arg(k));
    }
    optSendC_ =
        optionButton(this, QStringLiteral("optSendC"), {15780, 11100, 255, 270}, {}, windowFont());
    optSendC_->setAccessibleName(QStringLiteral("Sending continuously"));
    cmdSendC_ = button(this, QStringLiteral("cmdSendC"), {12480, 11520, 3855, 375},
                       QStringLiteral("Send current sign continuously"));
    cmdStopC_ = button(this, QStringLiteral("cmdStopC"), {12480, 12000, 3855, 375},
                       QStringLiteral("Stop sending the sign"));
    cmdBackShowHide_ = button(this, QStringLiteral("cmdBackShowHide"), {12480, 12660, 3855, 375},
                              QStringLiteral("Show background"));
    cmdSetPos_ = button(this, QStringLiteral("cmdSetPos"), {12480, 13320, 2235, 375},
                        QStringLiteral("Set form position"));
    txtTop_ = textField(this, QStringLiteral("txtTop"), {14820, 13320, 945, 360}, windowFont(),
                        Qt::AlignRight);
    txtTop_->setAccessibleName(QStringLiteral("Top"));
    cmdCenter_ = button(this, QStringLiteral("cmdCenter"), {12480, 13800, 2235, 375},
                        QStringLiteral("Set form center"));
    txtLeft_ = textField(this, QStringLiteral("txtLeft"), {14820, 13800, 945, 390}, windowFont(),
                         Qt::AlignRight);
    txtLeft_->setAccessibleName(QStringLiteral("Left"));

    rtfData0_ = place(new QTextEdit(this), QStringLiteral("rtfData(0)"), {13200, 14820, 495, 435},
                      windowFont());
    rtfData0_->setCurrentFont(windowFont());
    rtfData0_->setPlainText(QStringLiteral("1"));
    rtfData0_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rtfData0_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rtfData0_->setAccessibleName(QStringLiteral("Colour sample"));
}

void FrmAscii::createBottomRows() {
    txtS_ = textField(this, QStringLiteral("txtS"), {780, 14400, 11625, 360}, windowFont());
    txtS_->setMaxLength(32767);
    txtS_->setAccessibleName(QStringLiteral("Signs to be send via TxD"));
    prgBar_ = place(new QProgressBar(this), QStringLiteral("prgBar"), {780, 14880, 11625, 255},
                    labelFont());
    prgBar_->setRange(0, ProgressEnd);
    prgBar_->setValue(0);
    prgBar_->setTextVisible(false);
    prgBar_->setAccessibleName(QStringLiteral("Progress"));

    optTxD_ = optionButton(this, QStringLiteral("optTxD"), {780, 15240, 2055, 225},
                           QStringLiteral("TxD Send"), labelFont());
    optRxD_ = optionButton(this, QStringLiteral("optRxD"), {780, 15540, 2055, 225},
                           QStringLiteral("RxD Receive"), labelFont());
    chkOpen_ = checkBox(this, QStringLiteral("chkOpen"), {2820, 15240, 2055, 225},
                        QStringLiteral("Port open"));
    chkClosed_ = checkBox(this, QStringLiteral("chkClosed"), {2820, 15540, 2055, 225},
                          QStringLiteral("Port closed"));
    cmdCom1_ =
        button(this, QStringLiteral("cmdCom1"), {5100, 15360, 1215, 375}, QStringLiteral("Com1"));
    cmdMan_ =
        button(this, QStringLiteral("cmdMan"), {6420, 15360, 1215, 375}, QStringLiteral("Man"));
    cmdNew_ =
        button(this, QStringLiteral("cmdNew"), {7740, 15360, 1215, 375}, QStringLiteral("New"));
    cmdExit_ =
        button(this, QStringLiteral("cmdExit"), {9060, 15360, 1215, 375}, QStringLiteral("Exit"));
    cmdSend_ =
        button(this, QStringLiteral("cmdSend"), {10380, 15360, 1215, 375}, QStringLiteral("Send"));
    cmdCom1_->setEnabled(false);
    cmdMan_->setEnabled(false);
    cmdNew_->setEnabled(false);
    txtTime_ = textField(this, QStringLiteral("txtTime"), {11760, 15360, 705, 360}, windowFont(),
                         Qt::AlignRight);
    txtTime_->setAccessibleName(QStringLiteral("Time [ms] between the signs"));
}

void FrmAscii::createOptionGroup() {
    options_ = new OptionGroup(this);
    options_->add(optRxD_);
    for (const Slot& slot : slots_)
        options_->add(slot.sendButton);
    options_->add(optTxD_);
    options_->add(optSendC_);

    // Tab order follows the keyboard order of the group.
    QWidget* previous = optRxD_;
    for (const Slot& slot : slots_) {
        setTabOrder(previous, slot.sendButton);
        previous = slot.sendButton;
    }
    setTabOrder(previous, optTxD_);
    setTabOrder(optTxD_, optSendC_);
}
