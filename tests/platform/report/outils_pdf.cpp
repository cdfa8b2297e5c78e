#include "outils_pdf.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace vltest {

Commande Executer(const QString& programme, const QStringList& arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programme, arguments);
    Commande c;
    if (!p.waitForFinished(60000))
        return c;
    c.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    c.sortie = QString::fromUtf8(p.readAll());
    return c;
}

QVector<QSizeF> TaillesPages(const QString& pdf)
{
    QVector<QSizeF> r;
    const Commande c = Executer("pdfinfo", {"-f", "1", "-l", "1000", pdf});
    static const QRegularExpression re(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)");
    auto it = re.globalMatch(c.sortie);
    while (it.hasNext()) {
        const auto m = it.next();
        r.push_back(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return r;
}

QVector<FluxPdf> Flux(const QByteArray& pdf)
{
    QVector<FluxPdf> r;
    static const QRegularExpression longueur(R"(/Length\s+(\d+)(\s+\d+\s+R)?)");
    qsizetype pos = 0;
    for (;;) {
        const qsizetype s = pdf.indexOf("stream", pos);
        if (s < 0)
            break;
        if (s >= 3 && pdf.mid(s - 3, 3) == "end") {
            pos = s + 6;
            continue;
        }
        const qsizetype debutObj = pdf.lastIndexOf(" obj", s);
        FluxPdf f;
        f.dictionnaire = pdf.mid(debutObj, s - debutObj);
        const auto m = longueur.match(QString::fromLatin1(f.dictionnaire));
        qsizetype d = s + 6;
        if (pdf[d] == '\r')
            ++d;
        ++d;
        if (!m.hasMatch() || m.capturedLength(2) > 0) {
            f.donnees.clear();   // indirect length: not for this reader
            f.dictionnaire += " INDIRECT";
            r.push_back(f);
            pos = d;
            continue;
        }
        f.donnees = pdf.mid(d, m.captured(1).toLongLong());
        r.push_back(f);
        pos = d + f.donnees.size();
    }
    return r;
}

QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace vltest
