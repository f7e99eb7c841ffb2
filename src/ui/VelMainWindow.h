#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class VelMainWindow;
}

// The main window. Closing it only hides it: the app keeps running in the
// tray until it is quit from the tray menu. Its frame is saved and restored
// under an autosave name.
class VelMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit VelMainWindow(QWidget *parent = nullptr);
    ~VelMainWindow() override;

    // Sets the content size to the view's size and places the view in the
    // content area.
    void setContentView(QWidget *view);
    void setFrameAutosaveName(const QString &name);

signals:
    void shown();
    // Once, when the window is on screen with its content drawn.
    void firstPainted();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void saveFrame();

    std::unique_ptr<Ui::VelMainWindow> ui;
    QString m_frameAutosaveName;
    bool m_painted = false;
};
