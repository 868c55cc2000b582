// qxtxt-batch, the command-line front end of the two text jobs.
#include <string>
#include <vector>

#include "batch/batch_run.h"

int main(int argc, char** argv) { return batch::RunBatch(std::vector<std::string>(argv + 1, argv + argc)); }
