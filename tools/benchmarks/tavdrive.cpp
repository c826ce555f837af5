// tavdrive: works a Tavrenix.exe's window for scripts (commands on stdin, answers on stdout).
#include <cstdio>
#include <string>
#include "DriveSession.h"

int main()
{
    DriveSession session;
    char buf[8192];
    bool quit = false;
    while (!quit && std::fgets(buf, sizeof buf, stdin)) {
        std::string answer = session.Execute(buf, quit);
        std::fputs((answer + "\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
