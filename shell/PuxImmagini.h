#pragma once

#include <QIcon>
#include <QStringList>

// The main image list of the program: the command registry refers to its
// images by index, the names are their keys.
QStringList PuxNomiImmagini();
QIcon PuxImmagine(int index);
QIcon PuxImmagine(const QString& name);
