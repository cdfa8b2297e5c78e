#include "report/CanevasEnregistreur.h"

namespace vl {

namespace {

QString Nombres(const QVector<double>& v)
{
    QStringList l;
    for (double d : v)
        l << QString::number(d, 'g', 10);
    return l.join(' ');
}

QString Points(const QVector<QPoint>& v)
{
    QStringList l;
    for (const QPoint& p : v)
        l << QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
    return l.join(' ');
}

QString Rect(const QRect& r)
{
    return QStringLiteral("[%1,%2 %3x%4]").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString Hex(Couleur c) { return QStringLiteral("%1").arg(c, 6, 16, QChar('0')); }

QString PlumePinceau(const Plume& p, const Pinceau& b)
{
    static const char* styles[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
    return QStringLiteral(" pen=%1/%2/%3 brush=%4/%5")
        .arg(Hex(p.couleur), QString::fromLatin1(styles[p.style]))
        .arg(p.largeur)
        .arg(Hex(b.couleur), b.style == bsSolid ? QStringLiteral("bsSolid") : QStringLiteral("bsClear"));
}

} // namespace

QString NomOperation(TypeOperation t)
{
    switch (t) {
    case TypeOperation::Texte: return QStringLiteral("Texte");
    case TypeOperation::Rectangle: return QStringLiteral("Rectangle");
    case TypeOperation::Ellipse: return QStringLiteral("Ellipse");
    case TypeOperation::Arc: return QStringLiteral("Arc");
    case TypeOperation::Polygone: return QStringLiteral("Polygone");
    case TypeOperation::Polyligne: return QStringLiteral("Polyligne");
    case TypeOperation::Image: return QStringLiteral("Image");
    case TypeOperation::NouvellePage: return QStringLiteral("NouvellePage");
    case TypeOperation::Abandon: return QStringLiteral("Abandon");
    }
    return QString();
}

QString OperationEnregistree::Description() const
{
    QString s = QStringLiteral("p%1 %2").arg(page).arg(NomOperation(type));
    switch (type) {
    case TypeOperation::Texte: {
        static const char* just[] = {"pjLeft", "pjCenter", "pjRight"};
        s += QStringLiteral(" \"%1\" %2 at %3 start=%4 width=%5 font=%6/%7%8%9%10%11/%12/rot%13")
                 .arg(texte, QString::fromLatin1(just[justification]), Nombres(cm), Points(pointsPx))
                 .arg(largeurTexteCm, 0, 'g', 10)
                 .arg(police.nom)
                 .arg(police.taille, 0, 'g', 10)
                 .arg(police.gras ? "B" : "", police.italique ? "I" : "", police.souligne ? "U" : "",
                      police.barre ? "S" : "")
                 .arg(Hex(police.couleur))
                 .arg(police.rotation);
        break;
    }
    case TypeOperation::Rectangle:
    case TypeOperation::Ellipse:
        s += QStringLiteral(" %1 px=%2").arg(Nombres(cm), Rect(rectPx)) + PlumePinceau(plume, pinceau);
        break;
    case TypeOperation::Arc:
        s += QStringLiteral(" %1 px=%2 %3").arg(Nombres(cm), Rect(rectPx), Points(pointsPx))
             + PlumePinceau(plume, pinceau);
        break;
    case TypeOperation::Polygone:
    case TypeOperation::Polyligne:
        s += QStringLiteral(" %1").arg(Points(pointsPx)) + PlumePinceau(plume, pinceau);
        break;
    case TypeOperation::Image:
        s += QStringLiteral(" %1 px=%2 image=%3x%4").arg(Nombres(cm), Rect(rectPx))
                 .arg(tailleImage.width()).arg(tailleImage.height());
        break;
    case TypeOperation::NouvellePage:
    case TypeOperation::Abandon:
        break;
    }
    return s;
}

CanevasEnregistreur::CanevasEnregistreur(const FormatPapier& papier, int xdpi, int ydpi, bool duplex,
                                         const QMarginsF& margesCm)
    : CanevasBase(papier, xdpi, ydpi, duplex, margesCm), m_margesImprimante(margesCm)
{
}

OperationEnregistree& CanevasEnregistreur::Ajouter(TypeOperation t)
{
    OperationEnregistree op;
    op.type = t;
    op.page = NumeroPage();
    op.police = GetPolice();
    op.plume = GetPlume();
    op.pinceau = GetPinceau();
    m_operations.push_back(op);
    return m_operations.back();
}

void CanevasEnregistreur::FaireTexte(const TextePlace& t)
{
    OperationEnregistree& op = Ajouter(TypeOperation::Texte);
    op.texte = t.texte;
    op.cm = {t.xCm, t.yCm};
    op.justification = t.justification;
    op.largeurTexteCm = t.largeurCm;
    op.pointsPx = {t.debutPx};
}

void CanevasEnregistreur::FaireRectangle(const QRect& px, const double cm[4])
{
    OperationEnregistree& op = Ajouter(TypeOperation::Rectangle);
    op.cm = {cm[0], cm[1], cm[2], cm[3]};
    op.rectPx = px;
}

void CanevasEnregistreur::FaireEllipse(const QRect& px, const double cm[4])
{
    OperationEnregistree& op = Ajouter(TypeOperation::Ellipse);
    op.cm = {cm[0], cm[1], cm[2], cm[3]};
    op.rectPx = px;
}

void CanevasEnregistreur::FaireArc(const QRect& px, const QPoint& debutPx, const QPoint& finPx,
                                   const double cm[8])
{
    OperationEnregistree& op = Ajouter(TypeOperation::Arc);
    op.cm = QVector<double>(cm, cm + 8);
    op.rectPx = px;
    op.pointsPx = {debutPx, finPx};
}

void CanevasEnregistreur::FairePolygone(const QVector<QPoint>& px)
{
    Ajouter(TypeOperation::Polygone).pointsPx = px;
}

void CanevasEnregistreur::FairePolyligne(const QVector<QPoint>& px)
{
    Ajouter(TypeOperation::Polyligne).pointsPx = px;
}

void CanevasEnregistreur::FaireImage(const QRect& px, const double cm[4], const QImage& image)
{
    OperationEnregistree& op = Ajouter(TypeOperation::Image);
    op.cm = {cm[0], cm[1], cm[2], cm[3]};
    op.rectPx = px;
    op.tailleImage = image.size();
    op.cleImage = image.cacheKey();
}

void CanevasEnregistreur::FaireNouvellePage()
{
    Ajouter(TypeOperation::NouvellePage);
}

void CanevasEnregistreur::FaireAbandon()
{
    Ajouter(TypeOperation::Abandon);
}

QVector<OperationEnregistree> CanevasEnregistreur::OperationsPage(int page) const
{
    QVector<OperationEnregistree> r;
    for (const OperationEnregistree& op : m_operations)
        if (op.page == page && op.type != TypeOperation::NouvellePage)
            r.push_back(op);
    return r;
}

QVector<OperationEnregistree> CanevasEnregistreur::OperationsDeType(TypeOperation t) const
{
    QVector<OperationEnregistree> r;
    for (const OperationEnregistree& op : m_operations)
        if (op.type == t)
            r.push_back(op);
    return r;
}

QStringList CanevasEnregistreur::Textes() const
{
    QStringList l;
    for (const OperationEnregistree& op : m_operations)
        if (op.type == TypeOperation::Texte)
            l << op.texte;
    return l;
}

QString CanevasEnregistreur::Dump() const
{
    QStringList l;
    for (const OperationEnregistree& op : m_operations)
        l << op.Description();
    return l.join('\n');
}

void CanevasEnregistreur::Vider()
{
    m_operations.clear();
}

} // namespace vl
