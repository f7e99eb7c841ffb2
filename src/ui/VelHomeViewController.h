#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class VelHomeViewController;
}

// The home view that fills the main window: the left menu and the panel
// stack. Its texts follow the interface language.
class VelHomeViewController : public QWidget
{
    Q_OBJECT
public:
    explicit VelHomeViewController(QWidget *parent = nullptr);
    ~VelHomeViewController() override;

    void reloadTexts();

private:
    std::unique_ptr<Ui::VelHomeViewController> ui;
};
