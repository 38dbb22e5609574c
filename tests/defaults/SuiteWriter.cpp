// A separate program for the suite tests: writes keys and ends without
// calling synchronize(), so that what reaches the file is what the process's
// end saved.
//
//   defaults_suite_writer DIRECTORY SUITE PREFIX COUNT MODE
//
// MODE "return" returns from main (the suite's destructor saves); "exit"
// calls exit() with the suite still alive; "standard" writes the standard
// suite (under $XDG_CONFIG_HOME) and returns.

#include "platform/defaults/UserDefaults.h"

#include <cstdlib>
#include <string>
#include <string_view>

using platform::PropertyList;
using platform::UserDefaults;

int main(int argc, char** argv) {
    if (argc != 6) return 2;
    const std::string_view mode = argv[5];
    auto suite = mode == "standard" ? UserDefaults::standard() : UserDefaults::open(argv[2], argv[1]);
    const int count = std::atoi(argv[4]);
    for (int k = 0; k < count; ++k) suite->setObject(argv[3] + std::to_string(k), PropertyList(k));
    if (mode == "exit") std::exit(0);
    return 0;
}
