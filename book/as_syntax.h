#pragma once

#include <memory>
#include <string>
#include <vector>

#include "book/as_lexer.h"

namespace avm1 {

// One node of a parsed script: an expression or a statement.
struct Node {
  enum Kind {
    // Expressions.
    kNumber,  // number
    kString,  // text
    kTrue,
    kFalse,
    kNull,
    kUndefined,
    kIdentifier,  // text
    kThis,
    kMember,       // kids[0].text
    kIndex,        // kids[0][kids[1]]
    kCall,         // kids[0](kids[1..])
    kNew,          // new kids[0](kids[1..])
    kUnary,        // text: - + ! ~ typeof void delete
    kUpdate,       // text: ++ --, flag: prefix; kids[0]
    kBinary,       // text: the operator
    kLogical,      // text: && ||
    kConditional,  // kids[0] ? kids[1] : kids[2]
    kAssign,       // text: = += ...; kids[0] = kids[1]
    kArray,        // kids
    kObject,       // kids: key (kString), value, key, value...
    kFunction,     // text: name (may be empty); names: parameters; kids[0]: the body (kBlock)
    kSequence,     // kids, the last one's value
    // Statements.
    kVar,             // kids: kVarDeclaration
    kVarDeclaration,  // text: name; kids[0]: initial value or none
    kExpression,      // kids[0]
    kIf,              // kids: condition, then, else (or null)
    kWhile,           // kids: condition, body
    kDoWhile,         // kids: body, condition
    kFor,             // kids: init, condition, update (each may be null), body
    kForIn,           // text: the variable; flag: declared with var; kids: object, body
    kBreak,
    kContinue,
    kReturn,               // kids[0]: value or null
    kBlock,                // kids
    kSwitch,               // kids[0]: discriminant; then kCase
    kCase,                 // kids[0]: test, or null for default; then statements
    kFunctionDeclaration,  // as kFunction
    kWith,                 // kids: object, body
    kTellTarget,           // kids: target, body
    kTry,                  // text: the catch variable; kids: body, catch body or null, finally body or null
    kThrow,                // kids[0]
    kImport,               // text: the class's name; names: its package, then the name
    kEmpty,
  };
  Kind kind;
  SourcePosition at;
  std::string text;
  double number = 0;
  bool flag = false;
  std::vector<std::string> names;
  std::vector<std::unique_ptr<Node>> kids;
};
using NodePtr = std::unique_ptr<Node>;

}  // namespace avm1
