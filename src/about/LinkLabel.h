#pragma once

#include <QLabel>

// An address drawn as a link: a release of any mouse button on it, or Return or Space while
// it has the focus, raises Click. A screen reader sees a link named by the address, with a
// press action that clicks it.
class LinkLabel : public QLabel {
    Q_OBJECT

public:
    LinkLabel(const QString& caption, QWidget* parent);

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
