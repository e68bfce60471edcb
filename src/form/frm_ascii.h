// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// The main window "ZERBO via ComPort" with every control, laid out at fixed
// positions. The program keeps its state in these controls, so the
// operations reach them directly by their names.
class FrmAscii : public QWidget, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    static constexpr int SlotCount = 256;
    // The progress bar runs from 0 to this.
    static constexpr int ProgressEnd = 78;
    // The client area as designed, and where start-up puts the window, in twips.
    static constexpr QSize DesignTwips{16560, 15870};
    static constexpr QPointF StartTwips{1000, 1000};

    explicit FrmAscii(QWidget* parent = nullptr);
    ~FrmAscii() override;

    // Toolbar strip and its controls.
    QFrame* tlbRTF;
    PickCombo* cmbFontName;
    PickCombo* cmbFontSize;
    PickCombo* cmbFontColor;
    QCheckBox* chkN;
    QCheckBox* chkT;
    QCheckBox* chkA;
    QRadioButton* optHelp;

    // The table: slots 0..255, legend 256..287 and 290, captions 288, 289, 291.
    std::array<QLineEdit*, 292> txtN;
    std::array<QLabel*, 291> lblN;
    std::array<OptionButton*, SlotCount> optS;

    // Bit-pattern row and the controls at the lower right.
    QLineEdit* txtO;
    std::array<QLineEdit*, 8> txtP;
    OptionButton* optSendC;
    QPushButton* cmdSendC;
    QPushButton* cmdStopC;
    QPushButton* cmdBackShowHide;
    QPushButton* cmdSetPos;
    QLineEdit* txtTop;
    QPushButton* cmdCenter;
    QLineEdit* txtLeft;
    QTextEdit* rtfData0;

    // Bottom rows.
    QLineEdit* txtS;
    QProgressBar* prgBar;
    OptionButton* optTxD;
    OptionButton* optRxD;
    QCheckBox* chkOpen;
    QCheckBox* chkClosed;
    QPushButton* cmdCom1;
    QPushButton* cmdMan;
    QPushButton* cmdNew;
    QPushButton* cmdExit;
    QPushButton* cmdSend;
    QLineEdit* txtTime;

    // optRxD, optS(0..255), optTxD, optSendC in keyboard order.
    OptionGroup* options;

    // Gives the slots their names for screen readers ("Send character 065"), once; done by the
    // window itself where accessibility is on at its creation, else when it turns on.
    void nameSlots();

    // The display-options group, in the order their states are written.
    std::array<QWidget*, 6> displayOptions() const;

signals:
    // The window is being closed (close box or Exit).
    void unloading();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* group(const QString& name, QRect twips);
    void createToolbar();
    void createTable();
    void createLegend();
    void createBitRow();
    void createBottomRows();
    void createOptionGroup();
    // The slots' names for screen readers. Each name given makes Qt build the
    // control's accessibility interface at once, even with no screen reader
    // running, which cost start-up several milliseconds: so they are given
    // when accessibility turns on, at start or later.
    void accessibilityActiveChanged(bool active) override;
    bool slotsNamed_ = false;
};
