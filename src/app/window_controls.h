// The controls of the main window other than the grids and the header row: the file and Song
// ID controls, the message box, the channel and sheet choice, the commands and the line tools.
// Built at fixed positions; the main window wires them.
#pragma once

#include <QString>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kestra {

class UpDown;
class UpperCaseEdit;

struct WindowControls {
    QPushButton* btnSelectRom;
    QLabel* lblLoadedFile;
    QGroupBox* groupBox1;
    QLabel* lblSongID;
    QLineEdit* txtSongID;
    UpDown* songIdUpDown;
    QPushButton* btnAddress;
    UpperCaseEdit* txtAddress;
    QPushButton* btnFindPlace;
    QLabel* lblCurAddress;
    QLabel* lblInstrumentlist;
    QComboBox* cbxInstrument;
    QLabel* lblFrame;
    QComboBox* cbxFrame;
    QPushButton* btnCreateInst;
    QLabel* lblErrorMsg;
    QLineEdit* txtImpMess;
    QGroupBox* gbxChan;
    QButtonGroup* chanGroup;
    QGroupBox* gbxSheet;
    QButtonGroup* sheetGroup;
    QPushButton* btnRead;
    QPushButton* btnShow;
    QPushButton* btnCreateSong;
    QGroupBox* cbxBefAft;
    QButtonGroup* befAftGroup;
    QPushButton* btnAddLines;
    QLineEdit* txtNbLineAdd;
    QPushButton* btnRemLine;
    QLabel* lblHelper;
};

// Creates the controls on window. The "?" buttons among them are created too and found by name.
WindowControls buildWindowControls(QWidget* window);

// The names of the "?" buttons that buildWindowControls makes (the column ones are the header's).
const char* const* commandHelpButtonNames(int* count);

}  // namespace kestra
