#pragma once

#include "frame/FormWindow.h"

#include <array>

class LinkLabel;
class QLabel;
class QPushButton;

// The about window: the logo, the web and e-mail addresses as links, and "Ados!".
class Egilea : public FormWindow {
    Q_OBJECT

public:
    Egilea();

    QLabel* Imaegi = nullptr;
    std::array<LinkLabel*, 2> lblURL{};
    QPushButton* cmdok = nullptr;

    void lblURL_Click(int Index);
    void cmdok_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    LinkLabel* link(const QString& caption, int index);
    void showPictures();

    Pictures::Scaled m_logo{QStringLiteral("egilea.png")};
    Pictures::Scaled m_pointer{QStringLiteral("lotura.png")};
    qreal m_picturesRatio = 0;
};
