#pragma once
#include <QImage>
#include <QString>
#include <QVector>

namespace vl {

// The pages of a preview, each a white bitmap at the preview's resolution.
class PagesApercu
{
public:
    explicit PagesApercu(int dpi = 0) : m_dpi(dpi) {}

    int Resolution() const { return m_dpi; }
    int Nombre() const { return int(m_pages.size()); }
    // numero from 1.
    const QImage& Page(int numero) const { return m_pages.at(numero - 1); }
    // The page scaled by zoom percent (100 = the stored bitmap).
    QImage Rendu(int numero, double zoom = 100.0) const;
    bool EnregistrerPng(int numero, const QString& chemin) const;

    void Ajouter(QImage page) { m_pages.push_back(std::move(page)); }
    void Vider() { m_pages.clear(); }

private:
    int m_dpi;
    QVector<QImage> m_pages;
};

} // namespace vl
