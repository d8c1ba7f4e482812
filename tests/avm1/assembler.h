// A small assembler for readable bytecode in tests:
//
//   push "i", 0
//   setVariable
//   loop:
//   push "i"
//   getVariable
//   ...
//   if loop
//   function add(a, b) {
//     push "a"
//     getVariable
//     ...
//   }
//   function2 f(r1:x, y) regs=3 flags=0x0001 {   ; register params as rN:name
//   }
//   with { ... }
//   try "e" { ... } catch { ... } finally { ... }   ; or try r2 { ... }
//
// Push values: numbers (integers become Integer values), "strings", true,
// false, null, undefined, r:N (register), c:N (constant pool entry),
// f:1.5 (a Float), d:1 (a Double). Other operand forms: constants "a",
// "b"; store N; gotoFrame N; gotoLabel "x"; setTarget "x"; getUrl "u",
// "t"; getUrl2 FLAGS; gotoFrame2 FLAGS [BIAS]; waitForFrame N SKIP;
// waitForFrame2 SKIP; raw 0x96 0x01 ... (bytes as given). Every other line
// names an action without operands (trace, add2, getMember...), in any
// letter case. ';' starts a comment.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kinolux::avm1::test {

std::vector<std::uint8_t> assemble(const std::string& source);

struct AssemblyError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kinolux::avm1::test
