#pragma once
#include <QWidget>

// The pattern window. While it is open the console is disabled; closing it,
// by any means, hands the console back in line mode.
class frmPattern : public QWidget {
    Q_OBJECT
public:
    explicit frmPattern(QWidget* parent = nullptr);

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};
