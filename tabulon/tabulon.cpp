// tabulon: fills a spreadsheet template from data-packet files.
#include <cstdio>
#include <cstring>

static const char* kHelp =
    "tabulon - compila un modello di foglio di calcolo dai file di dati\n"
    "\n"
    "Uso: tabulon --source FILE[,FILE...] --tpl MODELLO --target CARTELLA_O_FILE [--silent] [--timeout SECONDI]\n"
    "     tabulon --help\n";

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
  }
  std::fputs(kHelp, stdout);
  return argc > 1 ? 1 : 0;
}
