// batch_test_util.cpp: running mirlan-batch from the tests.
#include "batch_test_util.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace batchtest {


std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> Words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

Outcome RunBatch(const std::vector<std::string> &args, const std::string &dir, bool without_display,
                 Limit limit)
{
    const std::string program = MIRLAN_BINARY_DIR "/batch/mirlan-batch";
    std::vector<char *> argv = {const_cast<char *>(program.c_str())};
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    const std::string out = dir + "/batch.stdout", err = dir + "/batch.stderr";
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0)
            _exit(127);
        if (without_display)
            unsetenv("DISPLAY");
        const struct rlimit rl = {limit.bytes, limit.bytes};
        if (limit.resource >= 0 && setrlimit(limit.resource, &rl) != 0)
            _exit(127);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = FileBytes(out);
    run.err = FileBytes(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

}  // namespace batchtest
