#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

#include "run_program.h"

namespace {

// One argument quoted as the C runtime splits a command line back into argv.
std::string quoted(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) return word;
  std::string text = "\"";
  std::size_t backslashes = 0;
  for (const char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes double only where a quote follows them.
    text.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    text += c;
  }
  text.append(2 * backslashes, '\\');
  return text + "\"";
}

// A pipe whose one end the child inherits; the parent's end stays private.
void make_pipe(HANDLE& read_end, HANDLE& write_end, bool child_reads) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (!::CreatePipe(&read_end, &write_end, &inherit, 0)) throw std::runtime_error("pipe failed");
  ::SetHandleInformation(child_reads ? write_end : read_end, HANDLE_FLAG_INHERIT, 0);
}

void drain(HANDLE from, std::string& into) {
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) into.append(buffer, n);
}

// A Windows program's standard output is in text mode, which writes every '\n' as "\r\n"; this
// undoes exactly that, so a deliberate '\r' stays.
std::string as_written(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') plain += text[i];
  }
  return plain;
}

void feed(HANDLE to, const std::string& input) {
  std::size_t written = 0;
  while (written < input.size()) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(input.size() - written, 65536));
    // A program that ends before reading all of its input breaks the pipe; that is no error.
    if (!::WriteFile(to, input.data() + written, chunk, &n, nullptr)) break;
    written += n;
  }
  ::CloseHandle(to);
}

}  // namespace

ProgramResult run_process(const std::vector<std::string>& command, const std::string& input,
                          const std::string& workdir, double timeout_seconds) {
  if (command.empty()) throw std::invalid_argument("no program to run");
  std::string line;
  for (const std::string& word : command) line += (line.empty() ? "" : " ") + quoted(word);
  std::vector<char> writable_line(line.begin(), line.end());
  writable_line.push_back('\0');

  HANDLE in_read, in_write, out_read, out_write, err_read, err_write;
  make_pipe(in_read, in_write, true);
  make_pipe(out_read, out_write, false);
  make_pipe(err_read, err_write, false);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_read;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  const BOOL started =
      ::CreateProcessA(nullptr, writable_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                       nullptr, workdir.c_str(), &startup, &process);
  for (HANDLE child_end : {in_read, out_write, err_write}) ::CloseHandle(child_end);
  ProgramResult result;
  if (!started) {
    for (HANDLE own_end : {in_write, out_read, err_read}) ::CloseHandle(own_end);
    result.exit_status = 127;
    return result;
  }
  ::CloseHandle(process.hThread);

  std::thread writer(feed, in_write, std::cref(input));
  std::thread out_reader(drain, out_read, std::ref(result.out));
  std::thread err_reader(drain, err_read, std::ref(result.err));
  const DWORD waited =
      ::WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout_seconds * 1000.0));
  if (waited != WAIT_OBJECT_0) {
    result.timed_out = true;
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, INFINITE);
  }
  writer.join();
  out_reader.join();
  err_reader.join();
  for (HANDLE own_end : {out_read, err_read}) ::CloseHandle(own_end);
  result.out = as_written(result.out);
  result.err = as_written(result.err);
  DWORD code = 0;
  if (!result.timed_out && ::GetExitCodeProcess(process.hProcess, &code)) {
    result.exit_status = static_cast<int>(code);
  }
  ::CloseHandle(process.hProcess);
  return result;
}

bool posix_platform() { return false; }
