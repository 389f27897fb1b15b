// qavconv [--iterations N] INPUT OUTPUT
// qavconv [options] -o DIR FILE...
//
// Opens pictures exactly as the viewer's File > Open does (the same name tests and loaders),
// optionally decodes fractal images again as Effects > Reiterate does, and writes each as a
// PNG or exactly as File > Save does. Errors are the viewer's own messages, on stderr.

#include <sched.h>

#include <cstdio>
#include <new>
#include <string>

#include "gif_bridge.h"
#include "interrupt_cleanup.h"
#include "parallel_for.h"
#include "qavconv_batch.h"
#include "qavconv_command_line.h"
#include "qavconv_convert.h"
#include "user_message.h"

namespace {

// The first form: one file, its errors in full as the viewer words them.
int ConvertOne(const QavconvCommand& command) {
  try {
    THandOverFolder handOver;
    ConvertFile(command.inputs[0], command.outputs[0], OutputFormatForName(command.outputs[0]),
                command.conversion, handOver);
    return 0;
  } catch (const Exception& error) {
    std::fprintf(stderr, "%s\n", FullMessage(error).c_str());
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "Out of memory\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  return 1;
}

// The default number of jobs: the cores this process may run on, which a cluster scheduler or
// taskset may have made fewer than the machine's.
unsigned UsableCores() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0)
    return static_cast<unsigned>(CPU_COUNT(&cores));
  return ParallelThreadCount();
}

}  // namespace

int main(int argc, char** argv) {
  QavconvCommand command;
  const ParseResult parsed = ParseQavconvCommandLine(argc, argv, &command);
  switch (parsed.outcome) {
    case ParseOutcome::Help:
      std::fputs(kQavconvUsage, stdout);
      return 0;
    case ParseOutcome::Wrong:
      std::fprintf(stderr, "qavconv: %s\n\n%s", parsed.problem.c_str(), kQavconvUsage);
      return 2;
    case ParseOutcome::Run:
      break;
  }
  command.conversion.converterPath = ConverterForThisProgram();
  RemoveTemporariesOnInterrupt();
  if (!command.batch)
    return ConvertOne(command);
  return RunBatch(command, command.jobs != 0 ? command.jobs : UsableCores());
}
