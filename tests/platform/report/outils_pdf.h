#pragma once
#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

// Helpers of the PDF tests: the poppler and qpdf tools, and a plain reading
// of the streams of a PDF whose lengths are direct.
namespace vltest {

struct Commande
{
    int code = -1;
    QString sortie;
};
Commande Executer(const QString& programme, const QStringList& arguments);

// Page sizes in points, from pdfinfo.
QVector<QSizeF> TaillesPages(const QString& pdf);

struct FluxPdf
{
    QByteArray dictionnaire;
    QByteArray donnees;
};
QVector<FluxPdf> Flux(const QByteArray& pdf);

QByteArray Lire(const QString& chemin);

} // namespace vltest
