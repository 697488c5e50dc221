// The compiler's entry and the code generator's shared helpers: emitting
// with the movie's version checked, names to registers and imports.
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "book/as_codegen.h"
#include "book/as_parser.h"

namespace avm1 {

namespace {
bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}
}  // namespace

std::vector<std::uint8_t> Compile(std::string_view source, const CompileOptions& options) {
  if (options.swfVersion < 5 || options.swfVersion > 10)
    throw CompileError({1, 1}, "scripts compile for SWF 5 to 10, not " + std::to_string(options.swfVersion));
  NodePtr program = Parse(source);
  return CodeGen(options).Program(*program);
}

std::vector<std::uint8_t> CompileFile(const std::string& path, const CompileOptions& options) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream source;
  source << in.rdbuf();
  try {
    return Compile(source.str(), options);
  } catch (const CompileError& e) {
    throw std::runtime_error(path + ":" + e.what());
  }
}

CodeGen::CodeGen(const CompileOptions& options)
    : options_(options), a_(Assembler::Options{.constantPool = options.constantPool}) {}

namespace {
void CollectImports(const Node& n, std::map<std::string, std::vector<std::string>>& imports) {
  if (n.kind == Node::kImport) imports[n.text] = n.names;
  for (const auto& k : n.kids)
    if (k) CollectImports(*k, imports);
}
}  // namespace

std::vector<std::uint8_t> CodeGen::Program(const Node& program) {
  CollectImports(program, imports_);
  scopes_.push_back(Scope{});
  Statements(program.kids, true);
  try {
    return a_.Finish();
  } catch (const AssemblyError& e) {
    // A script too large for the format's 16-bit offsets and sizes.
    throw CompileError(program.at, std::string("the script cannot be encoded: ") + e.what());
  }
}

void CodeGen::Fail(const Node& at, const std::string& message) const { throw CompileError(at.at, message); }

void CodeGen::RequireVersion(int version, const Node& at, const std::string& what) const {
  if (options_.swfVersion < version)
    Fail(at, what + " needs SWF " + std::to_string(version) + " (the movie is SWF " +
                 std::to_string(options_.swfVersion) + ")");
}

void CodeGen::Op(Action action, const Node& at) {
  int version = ActionVersion(static_cast<std::uint8_t>(action));
  RequireVersion(version, at, std::string("this (") + ActionName(static_cast<std::uint8_t>(action)) + ")");
  if (static_cast<std::uint8_t>(action) >= 0x80)
    a_.Raw(static_cast<std::uint8_t>(action));  // Call: a long record with no payload
  else
    a_.Emit(action);
}

void CodeGen::CheckText(const std::string& s, const Node& at) const {
  // Before SWF 6 the player reads strings in the system's code page.
  if (options_.swfVersion < 6 && !IsAscii(s)) Fail(at, "text other than ASCII needs SWF 6 or later");
}

void CodeGen::PushString(const std::string& s, const Node& at) {
  CheckText(s, at);
  a_.Push({s});
}

void CodeGen::PushNumber(double v) {
  if (v == std::floor(v) && std::abs(v) <= 2147483647.0 && !(v == 0 && std::signbit(v)))
    a_.Push({static_cast<int>(v)});
  else
    a_.Push({v});
}

std::optional<std::uint8_t> CodeGen::Local(const std::string& name) const {
  const Scope& s = scope();
  if (!s.registers) return std::nullopt;
  auto it = s.locals.find(name);
  if (it == s.locals.end()) return std::nullopt;
  return it->second;
}

const std::vector<std::string>* CodeGen::Imported(const std::string& name) const {
  if (Local(name)) return nullptr;
  auto it = imports_.find(name);
  return it == imports_.end() ? nullptr : &it->second;
}

// The first `count` names of a path: a variable, then its members.
void CodeGen::PushPath(const std::vector<std::string>& path, std::size_t count, const Node& at) {
  for (std::size_t i = 0; i < count; ++i) {
    PushString(path[i], at);
    Op(i == 0 ? Action::kGetVariable : Action::kGetMember, at);
  }
}

}  // namespace avm1
