#pragma once

#include <QString>
#include <QStringList>

// Splits a script written for isql into its statements: honours
// "SET TERM x y", string literals, quoted identifiers and comments, drops
// COMMIT statements and the terminators. Each statement keeps its text as
// written (trimmed).
QStringList KvSplitSqlScript(const QString& script);

// The statement without the comments that precede it.
QString KvStripLeadingComments(const QString& statement);
