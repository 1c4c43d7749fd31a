#pragma once

#include <QMainWindow>

// The main window of KT-ED (filled by the main window work).
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
};
