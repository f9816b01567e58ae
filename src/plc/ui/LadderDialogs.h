#pragma once
// The element dialogs of the ladder editor: "Edit Contact", "Edit Contact/Coil" with one page per
// coil kind, "Edit Comments" and "Contact/Coil Symbol". Each only gathers input; the editor model
// writes the result into the program on OK, and Cancel leaves everything as it was.

#include <QDialog>
#include <array>
#include <functional>
#include <vector>

#include "plc/BlockRecords.h"
#include "plc/LadderEditor.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QTableWidget;

namespace pv::ui {

// A block operand: "Preset Type:" (a constant or an element), "Preset Value:" and, for a timer
// reference, "T Mode select:".
class BlockValueEdit : public QWidget {
    Q_OBJECT
public:
    // digits: the constant's digit count; references: whether elements may be chosen.
    BlockValueEdit(int digits, bool references, const char* formLabel, QWidget* parent = nullptr);
    void setValue(const BlockValue& v);
    BlockValue value() const;
    QComboBox* typeBox() const { return type_; }
    QLineEdit* constantEdit() const { return constant_; }
    QComboBox* numberBox() const { return number_; }

private:
    void typeChanged();
    int digits_;
    QComboBox* type_;
    QLineEdit* constant_;
    QComboBox* number_;
    QLabel* formLabel_;
    QComboBox* form_;
};

// An input wired to a block: "Contact" ticked and the contact chosen, or no input.
class InputRefEdit : public QWidget {
    Q_OBJECT
public:
    explicit InputRefEdit(QWidget* parent = nullptr);
    void setInput(const InputRef& in);
    InputRef input() const;
    QCheckBox* contactBox() const { return enabled_; }

private:
    void letterChanged();
    QCheckBox* enabled_;
    QComboBox* letter_;
    QComboBox* number_;
};

class ContactDialog : public QDialog {
    Q_OBJECT
public:
    // cell: the three characters of the cell; letter: the tab a tool asks for (0: the cell's).
    ContactDialog(const std::string& cell, char letter, QWidget* parent = nullptr);
    std::string cell() const;
    QTabBar* tabs() const { return tabs_; }
    QComboBox* numberBox() const { return number_; }
    QRadioButton* strButton() const { return str_; }
    QRadioButton* strNotButton() const { return strNot_; }
    QLabel* rangeLabel() const { return range_; }
    QLabel* kindLabel() const { return kind_; }

private:
    void tabChanged(int tab);
    QTabBar* tabs_;
    QComboBox* number_;
    QLabel* range_;
    QLabel* kind_;
    QRadioButton* str_;
    QRadioButton* strNot_;
};

class CoilDialog : public QDialog {
    Q_OBJECT
public:
    CoilDialog(const std::array<uint8_t, 4>& coil, const std::string& page, PlcProgram& program,
               QWidget* parent = nullptr);
    // On OK: the coil columns written; the chosen block's record is written into the program.
    std::array<uint8_t, 4> coil() const { return coil_; }
    QTabWidget* pages() const { return pages_; }
    void selectPage(const QString& kind);
    QComboBox* numberBox(const QString& kind) const;
    // The timer page's fields (tests and the window's own enabling).
    QComboBox* timerMode() const { return tMode_; }
    QComboBox* timerBase() const { return tBase_; }
    BlockValueEdit* timerPreset() const { return tPreset_; }
    InputRefEdit* timerReset() const { return tReset_; }
    QWidget* timerSecond() const { return tSecond_; }
    QComboBox* outputType(const QString& kind) const { return kind == "Q" ? qOut_ : mOut_; }

    void accept() override;

private:
    QWidget* numberRow(const QString& kind, int count, QWidget* page);
    void buildQM(bool q);
    void buildTimer();
    void buildCounter();
    void buildComparator();
    void buildDrive();
    void buildArith(bool as);
    void loadBlock(const QString& kind);
    void timerModeChanged();
    void comparatorModeChanged();
    int number(const QString& kind) const;

    PlcProgram& program_;
    std::array<uint8_t, 4> coil_;
    QTabWidget* pages_;
    std::vector<std::pair<QString, QComboBox*>> numbers_;
    QComboBox *qOut_, *mOut_;
    QComboBox *tMode_, *tBase_, *tBase2_;
    BlockValueEdit *tPreset_, *tPreset2_;
    InputRefEdit* tReset_;
    QWidget* tSecond_;
    QComboBox* cMode_;
    BlockValueEdit* cPreset_;
    InputRefEdit *cDir_, *cReset_;
    QComboBox* gMode_;
    BlockValueEdit *gValue_, *gUpper_, *gLower_;
    BlockValueEdit *fSet_, *fSeg_, *fAcc_, *fDec_;
    InputRefEdit *fFwd_, *fTerm_;
    std::array<BlockValueEdit*, 3> asValues_{}, mdValues_{};
    QComboBox *asOut_, *mdOut_;
};

class CommentDialog : public QDialog {
    Q_OBJECT
public:
    CommentDialog(const std::array<std::string, kCommentTextLines>& lines,
                  QWidget* parent = nullptr);
    std::array<std::string, kCommentTextLines> lines() const;
    QLineEdit* edit(int i) const { return edits_[i]; }

private:
    std::array<QLineEdit*, kCommentTextLines> edits_{};
};

// How the view names elements: "Contact/Coil", "Symbol" or "Both".
enum class SymbolDisplay { Element = 0, Symbol = 1, Both = 2 };

class SymbolDialog : public QDialog {
    Q_OBJECT
public:
    SymbolDialog(const std::vector<CElemNote>& symbols, SymbolDisplay display, bool enabled,
                 QWidget* parent = nullptr);
    std::vector<CElemNote> symbols() const;
    SymbolDisplay display() const;
    bool displayEnabled() const;
    QComboBox* typeBox() const { return type_; }
    QTableWidget* table() const { return table_; }

private:
    void showType();
    void keepType();
    std::vector<CElemNote> symbols_;
    int shownType_ = 0;
    QComboBox* type_;
    QTableWidget* table_;
    QButtonGroup* display_;
    QCheckBox* enabled_;
};

// The dialogs as the editor model asks for them. A hook lets tests answer them.
class QtLadderDialogs : public LadderDialogs {
public:
    explicit QtLadderDialogs(QWidget* parent) : parent_(parent) {}
    using Hook = std::function<bool(QDialog&)>;  // fills and closes the dialog; true if it did
    void setHook(Hook hook) { hook_ = std::move(hook); }

    bool editContact(std::string& cell, char letter) override;
    bool editCoil(std::array<uint8_t, 4>& coil, const std::string& page,
                  PlcProgram& program) override;
    bool editComment(std::array<std::string, kCommentTextLines>& lines) override;
    int run(QDialog& d);

private:
    QWidget* parent_;
    Hook hook_;
};

// The symbol of an element ("I01" -> the text of group 1 key 1), empty when it has none.
std::string SymbolOf(const PlcProgram& program, char kind, int number);
std::string SymbolOf(const PlcProgram& program, const std::string& kind, int number);

}  // namespace pv::ui
