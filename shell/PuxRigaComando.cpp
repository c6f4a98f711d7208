#include "PuxRigaComando.h"

#include "DbSchema.h"
#include "KvCloseOnSignal.h"
#include "KvConnection.h"
#include "KvMessageDlg.h"
#include "PuxAvvio.h"
#include "ShellFinestre.h"
#include "TdmPuxAttivazioni.h"
#include "TdmPuxParametri.h"
#include "TfmPuxMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

QTextStream& out() {
  static QTextStream s(stdout);
  return s;
}
QTextStream& err() {
  static QTextStream s(stderr);
  return s;
}

struct Options {
  QStringList positional;
  QString database, user, password, screenshot;
  QStringList commands;
  bool demo = false, help = false, exitWhenReady = false;
  QString unknown;
};

Options parse(const QStringList& args) {
  Options o;
  for (int i = 1; i < args.size(); ++i) {
    const QString a = args.at(i);
    auto value = [&](QString& into) {
      const int eq = a.indexOf(QLatin1Char('='));
      if (eq > 0) into = a.mid(eq + 1);
      else if (i + 1 < args.size()) into = args.at(++i);
      else o.unknown = a;
    };
    if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("/?")) o.help = true;
    else if (a == QLatin1String("--demo")) o.demo = true;
    else if (a == QLatin1String("--exit-when-ready")) o.exitWhenReady = true;
    else if (a.startsWith(QLatin1String("--database")) || a == QLatin1String("-d")) value(o.database);
    else if (a.startsWith(QLatin1String("--user"))) value(o.user);
    else if (a.startsWith(QLatin1String("--password"))) value(o.password);
    else if (a.startsWith(QLatin1String("--screenshot"))) value(o.screenshot);
    else if (a.startsWith(QLatin1String("--command"))) {
      QString name;
      value(name);
      o.commands << name;
    }
    else if (a.startsWith(QLatin1String("-")) && a.size() > 1) o.unknown = a;
    else o.positional << a;
  }
  return o;
}

int usage(const QString& why) {
  err() << why << "\n\n" << PuxTestoAiuto();
  err().flush();
  return 2;
}

int dbCreate(const Options& o) {
  if (o.positional.size() != 3) return usage(QStringLiteral("Indicare il database da creare."));
  const PuxDatabaseChoice c = PuxScegliDatabase(o.positional.at(2), o.user, o.password);
  QElapsedTimer t;
  t.start();
  const KvStatus ok = DbSchema::Create(c.target, o.demo, [](int done, int total, const QString& what) {
    out() << QStringLiteral("[%1/%2] %3\n").arg(done).arg(total).arg(what);
    out().flush();
    return true;
  });
  if (!ok) {
    err() << ok.error() << "\n";
    return 1;
  }
  out() << QStringLiteral("Database creato: %1 (%2 oggetti%3) in %4 ms\n")
               .arg(c.target.database)
               .arg(DbSchema::RequiredObjects().size())
               .arg(o.demo ? QStringLiteral(", dati dimostrativi") : QString())
               .arg(t.elapsed());
  return 0;
}

int dbCheck(const Options& o) {
  if (o.positional.size() != 3) return usage(QStringLiteral("Indicare il database da controllare."));
  const PuxDatabaseChoice c = PuxScegliDatabase(o.positional.at(2), o.user, o.password);
  if (KvStatus opened = TdmKvConnection::OpenConnection(c.target); !opened) {
    err() << opened.error() << "\n";
    return 1;
  }
  const KvResult<QStringList> read = DbSchema::Missing(qqoKvGlobConn());
  TdmKvConnection::CloseConnection();
  if (!read) {
    err() << read.error() << "\n" << read.detail() << "\n";
    return 1;
  }
  const QStringList& missing = *read;
  for (const QString& line : missing) out() << line << "\n";
  if (!missing.isEmpty()) {
    out() << QStringLiteral("Oggetti mancanti: %1 su %2.\n").arg(missing.size()).arg(DbSchema::RequiredObjects().size());
    return 1;
  }
  out() << QStringLiteral("Il database contiene tutti i %1 oggetti richiesti.\n").arg(DbSchema::RequiredObjects().size());
  return 0;
}

int runProgram(const Options& o, QElapsedTimer& sinceStart) {
  const PuxDatabaseChoice choice = PuxScegliDatabase(o.database, o.user, o.password);
  KvStatus ok;
  {
    std::unique_ptr<QProgressDialog> wait;
    if (choice.isDefault && !QFileInfo::exists(choice.target.database) && !o.exitWhenReady) {
      wait = std::make_unique<QProgressDialog>(QStringLiteral("Preparazione del database dimostrativo..."), QString(), 0, 0);
      wait->setWindowTitle(QStringLiteral("Pux"));
      wait->setMinimumDuration(0);
      wait->show();
      QApplication::processEvents();
    }
    ok = PuxApriDatabase(choice);
  }
  if (!ok) {
    if (!o.exitWhenReady) KvShowFailure(ok.failure());
    err() << ok.error() << "\n";
    return 1;
  }
  ShellRegistraFinestre();
  TdmPuxParametri parametri;
  TdmPuxAttivazioni attivazioni;
  TfmPuxMain main(attivazioni, parametri);
  if (o.exitWhenReady) {
    // Unattended: messages take their default answer and are printed,
    // dialogs that ask for a choice take their default. Set before the
    // window shows: its first show may already report something (the news).
    KvMessageScript::Begin();
    attivazioni.SceltaVistaArticoli = [] { return 0; };
    attivazioni.MostraParametri = [] { return false; };
  }
  // kill, Ctrl+C or the end of the session close the program as its
  // window's close button does.
  KvCloseOnSignal segnali(&main);
  main.show();
  main.activateWindow();
  // The commands named on the command line open their windows once the
  // program is ready, the last one active: a desktop shortcut can open a
  // window directly.
  QTimer::singleShot(0, [&]() {
    main.EnsureFirstActivation();
    for (const QString& name : o.commands) attivazioni.Run(name);
    // Says which window a desktop shortcut's command left active.
    if (!o.commands.isEmpty()) {
      const QWidget* active = main.ActiveChild();
      out() << QStringLiteral("finestra attiva: %1\n").arg(active ? active->windowTitle() : QStringLiteral("nessuna"));
    }
    out() << QStringLiteral("pronto in %1 ms\n").arg(sinceStart.elapsed());
    out().flush();
    if (!o.exitWhenReady) return;
    if (!o.screenshot.isEmpty()) main.grab().save(o.screenshot);
    for (const QString& text : KvMessageScript::Texts()) out() << QStringLiteral("messaggio: ") << text << "\n";
    out().flush();
    QApplication::quit();
  });
  return QApplication::exec();
}

}  // namespace

QString PuxTestoAiuto() {
  return QStringLiteral(
      "Pux - gestione acquisti\n"
      "\n"
      "Uso:\n"
      "  pux [--database DATABASE] [--user UTENTE] [--password PASSWORD] [--command COMANDO]...\n"
      "  pux db create DATABASE [--demo] [--user UTENTE] [--password PASSWORD]\n"
      "  pux db check DATABASE [--user UTENTE] [--password PASSWORD]\n"
      "  pux --help\n"
      "\n"
      "DATABASE è il percorso di un file (database locale, motore incorporato) oppure un database\n"
      "su server Firebird: host:/percorso, host/porta:/percorso.\n"
      "\n"
      "  --command   apre la finestra del comando (es. xafCig) appena il programma è pronto\n"
      "  db create   crea il database con tutte le tabelle (--demo: con i dati dimostrativi)\n"
      "  db check    elenca tabelle, viste e procedure mancanti (uscita 1 se ne manca una)\n"
      "\n"
      "Senza --database si usa PUX_DATABASE, altrimenti l'impostazione database/path del file di\n"
      "configurazione, altrimenti il database dimostrativo nella cartella dati (creato al primo avvio).\n"
      "Variabili: PUX_ROOT (cartella di installazione), PUX_DATA (cartella dati), PUX_CONFIG (file di\n"
      "configurazione), PUX_DB_USER, PUX_DB_PASSWORD (credenziali del server).\n");
}

int PuxRigaComando(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const Options o = parse(args);
  if (!o.unknown.isEmpty()) return usage(QStringLiteral("Opzione non riconosciuta: %1").arg(o.unknown));
  if (o.help) {
    out() << PuxTestoAiuto();
    return 0;
  }
  if (!o.positional.isEmpty() && o.positional.first() == QLatin1String("db")) {
    QCoreApplication app(argc, argv);
    const QString verb = o.positional.value(1);
    if (verb == QLatin1String("create")) return dbCreate(o);
    if (verb == QLatin1String("check")) return dbCheck(o);
    return usage(QStringLiteral("Comando sconosciuto: db %1").arg(verb));
  }
  if (!o.positional.isEmpty()) return usage(QStringLiteral("Argomento non riconosciuto: %1").arg(o.positional.first()));
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pux"));
  return runProgram(o, sinceStart);
}
