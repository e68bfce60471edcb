// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/focus_keeper.h"
#include "form/legend.h"

#include <QAccessible>
#include <QPointF>
#include <QSize>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextEdit;
class OptionButton;
class OptionGroup;
class PickCombo;
class StatusLine;

// Slot i of the table, for character code i: its number label lblN(i), its
// character field txtN(i) and its send button optS(i).
struct Slot {
    QLabel* number;
    QLineEdit* character;
    OptionButton* sendButton;
};

// The fixed captions, named by the control each stands beside.
struct Captions {
    QLineEdit* txtS;    // txtN(288) "Signs to be send via TxD"
    QLineEdit* txtTime; // txtN(289) "Time [ms] between the signs"
    QLineEdit* bitRow;  // txtN(291) "Asc(Mid(txtS,I,1))"
    QLabel* txtLeft;    // lblN(289) "Left"
    QLabel* txtTop;     // lblN(290) "Top"
};

// The main window "ZERBO via ComPort" with every control, laid out at fixed
// positions. The program keeps its state in these controls: the operations
// reach each by its name, and the writes that always go together through the
// methods below.
class FrmAscii : public QWidget, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    static constexpr int SlotCount = 256;
    // The progress bar runs from 0 to this.
    static constexpr int ProgressEnd = 78;

    explicit FrmAscii(QWidget* parent = nullptr);
    ~FrmAscii() override;

    // The table, the legend and the captions.
    const Slot& slot(int code) const { return slots_[static_cast<size_t>(code)]; }
    const std::array<Slot, SlotCount>& table() const { return slots_; }
    const Legend& legend() const { return legend_; }
    const Captions& captions() const { return captions_; }

    // Toolbar strip and its controls.
    QFrame* tlbRTF() const { return tlbRTF_; }
    PickCombo* cmbFontName() const { return cmbFontName_; }
    PickCombo* cmbFontSize() const { return cmbFontSize_; }
    PickCombo* cmbFontColor() const { return cmbFontColor_; }
    QCheckBox* chkN() const { return chkN_; }
    QCheckBox* chkT() const { return chkT_; }
    QCheckBox* chkA() const { return chkA_; }
    QRadioButton* optHelp() const { return optHelp_; }

    // Bit-pattern row and the controls at the lower right.
    QLineEdit* txtO() const { return txtO_; }
    QLineEdit* txtP(int k) const { return txtP_[static_cast<size_t>(k)]; }
    OptionButton* optSendC() const { return optSendC_; }
    QPushButton* cmdSendC() const { return cmdSendC_; }
    QPushButton* cmdStopC() const { return cmdStopC_; }
    QPushButton* cmdBackShowHide() const { return cmdBackShowHide_; }
    QPushButton* cmdSetPos() const { return cmdSetPos_; }
    QLineEdit* txtTop() const { return txtTop_; }
    QPushButton* cmdCenter() const { return cmdCenter_; }
    QLineEdit* txtLeft() const { return txtLeft_; }
    QTextEdit* rtfData0() const { return rtfData0_; }

    // Bottom rows.
    QLineEdit* txtS() const { return txtS_; }
    QProgressBar* prgBar() const { return prgBar_; }
    OptionButton* optTxD() const { return optTxD_; }
    OptionButton* optRxD() const { return optRxD_; }
    QCheckBox* chkOpen() const { return chkOpen_; }
    QCheckBox* chkClosed() const { return chkClosed_; }
    QPushButton* cmdCom1() const { return cmdCom1_; }
    QPushButton* cmdMan() const { return cmdMan_; }
    QPushButton* cmdNew() const { return cmdNew_; }
    QPushButton* cmdExit() const { return cmdExit_; }
    QPushButton* cmdSend() const { return cmdSend_; }
    QLineEdit* txtTime() const { return txtTime_; }

    // optRxD, optS(0..255), optTxD, optSendC in keyboard order.
    OptionGroup* options() const { return options_; }
    // The strip under the designed controls (not one of them).
    StatusLine* statusLine() const { return statusLine_; }

    // The display-options group, in the order their states are written.
    std::array<QWidget*, 6> displayOptions() const;
    void enableDisplayOptions(bool enabled);

    // "Port open" checked as open says, "Port closed" the other way round;
    // with enable, each is enabled just before it gets its value.
    void showPortOpen(bool open, bool enable = false);
    // Both unchecked, then both disabled: no port stands behind them.
    void clearPortIndicators();

    // The code in txtO as text ("65"); emptied, or marked as not a code.
    void showCodeText(int code);
    void clearCode();
    void markCodeRejected();
    void unmarkCode();

    // The progress bar, back at 0, shown or hidden; or at a value.
    void showProgressAtZero();
    void hideProgressAtZero();
    void setProgress(int value);

    // Gives the slots their names for screen readers ("Send character 065"), once; done by the
    // window itself where accessibility is on at its creation, else when it turns on.
    void nameSlots();

signals:
    // The window is being closed (close box or Exit).
    void unloading();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Also where Qt passes the focus on from a control disabled under it.
    bool focusNextPrevChild(bool next) override;

private:
    void createToolbar();
    void createTable();
    void createLegendAndCaptions();
    void createBitRow();
    void createBottomRows();
    void createOptionGroup();
    void createStatusLine();
    // The slots' names for screen readers. Each name given makes Qt build the
    // control's accessibility interface at once, even with no screen reader
    // running, which cost start-up several milliseconds: so they are given
    // when accessibility turns on, at start or later.
    void accessibilityActiveChanged(bool active) override;
    bool slotsNamed_ = false;

    std::array<Slot, SlotCount> slots_;
    Legend legend_;
    Captions captions_;

    QFrame* tlbRTF_;
    PickCombo* cmbFontName_;
    PickCombo* cmbFontSize_;
    PickCombo* cmbFontColor_;
    QCheckBox* chkN_;
    QCheckBox* chkT_;
    QCheckBox* chkA_;
    QRadioButton* optHelp_;

    QLineEdit* txtO_;
    std::array<QLineEdit*, 8> txtP_;
    OptionButton* optSendC_;
    QPushButton* cmdSendC_;
    QPushButton* cmdStopC_;
    QPushButton* cmdBackShowHide_;
    QPushButton* cmdSetPos_;
    QLineEdit* txtTop_;
    QPushButton* cmdCenter_;
    QLineEdit* txtLeft_;
    QTextEdit* rtfData0_;

    QLineEdit* txtS_;
    QProgressBar* prgBar_;
    OptionButton* optTxD_;
    OptionButton* optRxD_;
    QCheckBox* chkOpen_;
    QCheckBox* chkClosed_;
    QPushButton* cmdCom1_;
    QPushButton* cmdMan_;
    QPushButton* cmdNew_;
    QPushButton* cmdExit_;
    QPushButton* cmdSend_;
    QLineEdit* txtTime_;

    OptionGroup* options_;
    StatusLine* statusLine_;
    FocusKeeper focusKeeper_{*this};
};
