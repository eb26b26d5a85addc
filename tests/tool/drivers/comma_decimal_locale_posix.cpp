// de_DE.UTF-8, built from the system's locale sources into a folder of its own.
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>

#include "comma_decimal_locale.h"

CommaDecimalLocale::CommaDecimalLocale() : m_before(setlocale(LC_ALL, nullptr)) {
    char pattern[] = "/tmp/kq-locale-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    m_folder = pattern;
    // localedef exits 1 on mere warnings about the sources, yet writes the locale: whether the
    // locale can be adopted is what counts.
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (m_folder / "de_DE.UTF-8").string() + "' 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, pipe) != nullptr) m_output += line;
        pclose(pipe);
    }
    setenv("LOCPATH", m_folder.c_str(), 1);
    m_adopted = setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

CommaDecimalLocale::~CommaDecimalLocale() {
    setlocale(LC_ALL, m_before.c_str());
    unsetenv("LOCPATH");
    if (!m_folder.empty()) std::filesystem::remove_all(m_folder);
}
