#include "PuxImmagini.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace {

struct Disegno {
  const char* name;
  const char* glyph;  // drawn in white on the coloured tile
  QRgb color;
};

// Our own icons: a coloured tile with a symbol, one per image name.
const Disegno kDisegni[] = {
    {"IMPORTDATI", "⇩", 0x2e7d32},      {"EXPORTDATI", "⇧", 0x1565c0},  {"REPLACE", "⇄", 0x6a1b9a},
    {"MOVIMENTI", "↔", 0x00838f},       {"GIORNALE", "☰", 0x5d4037},    {"CONTI", "€", 0x2e7d32},
    {"BENEFICIARI", "☺", 0xef6c00},     {"FIRME", "✎", 0x37474f},       {"SITCONTABILE", "∑", 0x1565c0},
    {"AIE", "▦", 0x00695c},             {"GRIGLIE", "▤", 0x455a64},     {"DOWNER_SEDI_LIST", "⌂", 0x6d4c41},
    {"PGMCONTABILITA", "¤", 0x283593},  {"SEDECORSI", "✦", 0x4527a0},   {"CAUSALI", "§", 0x558b2f},
    {"PARAMETRI", "⚙", 0x546e7a},       {"CRESCO", "↗", 0x2e7d32},      {"ATTSPECIALE", "★", 0xc62828},
    {"VOCI", "≡", 0x4e342e},            {"MODELLI", "✉", 0xad1457},     {"NEWYEAR", "✚", 0x00897b},
    {"ORGDELIBERA", "⚑", 0x6a1b9a},     {"IMPORTDATA", "⇓", 0x0277bd},  {"Z_BILANCIA1", "⚖", 0x1565c0},
    {"Z_BILANCIA2", "⚖", 0xc62828},     {"Z_SMTPPARM", "@", 0x37474f},  {"XAVVPAGGLOB", "#", 0x283593},
    {"MANI", "✋", 0xef6c00},           {"EXPORT", "➚", 0x2e7d32},      {"CAMPIAGGIUNTIVI", "✚", 0x5e35b1},
};

QIcon draw(const Disegno& d) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(d.color));
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(size * 0.62));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString::fromUtf8(d.glyph));
    icon.addPixmap(pm);
  }
  return icon;
}

const QList<QIcon>& icone() {
  static const QList<QIcon> list = [] {
    QList<QIcon> out;
    for (const Disegno& d : kDisegni) out << draw(d);
    return out;
  }();
  return list;
}

}  // namespace

QStringList PuxNomiImmagini() {
  QStringList out;
  for (const Disegno& d : kDisegni) out << QString::fromLatin1(d.name);
  return out;
}

QIcon PuxImmagine(int index) {
  const QList<QIcon>& list = icone();
  return index >= 0 && index < list.size() ? list.at(index) : QIcon();
}

QIcon PuxImmagine(const QString& name) { return PuxImmagine(int(PuxNomiImmagini().indexOf(name.toUpper()))); }
