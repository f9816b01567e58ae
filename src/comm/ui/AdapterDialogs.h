#pragma once
// The network adapter dialogs of the communication settings: changing a listed adapter's IP
// address and name (dialog 272), and assigning an address to an adapter given by its MAC
// (dialog 282). They check what was typed; the change itself is the caller's.

#include <QDialog>
#include <string>

class QLineEdit;

namespace pv::ui {

class AdapterDialog : public QDialog {
    Q_OBJECT
public:
    AdapterDialog(const std::string& ip, const std::string& name, QWidget* parent = nullptr);
    std::string ip() const;
    std::string name() const;
    QLineEdit* ipEdit() const { return ip_; }
    QLineEdit* nameEdit() const { return name_; }

private:
    void done(int r) override;
    QLineEdit* ip_;
    QLineEdit* name_;
};

class AssignAddressDialog : public QDialog {
    Q_OBJECT
public:
    explicit AssignAddressDialog(QWidget* parent = nullptr);
    // The MAC as the adapter protocol writes it ("00-20-4a-14-01-18").
    std::string mac() const;
    std::string ip() const;
    QLineEdit* macEdit() const { return mac_; }
    QLineEdit* ipEdit() const { return ip_; }

private:
    void done(int r) override;
    QLineEdit* mac_;
    QLineEdit* ip_;
};

}  // namespace pv::ui
