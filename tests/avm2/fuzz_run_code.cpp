// Runs arbitrary bytes as the code of a script inside a well-formed ABC
// file whose pools name the built-in classes and their methods, so that the
// fuzzer spends its time in the interpreter and the classes rather than in
// the reader (fuzz_abc covers the reader). Nothing may crash or hang.
#include <cstddef>
#include <cstdint>

#include "tests/avm2/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using avm2test::AbcBuilder;
    AbcBuilder abc;
    for (const char* name : {"trace", "XML", "XMLList", "QName", "Namespace", "JSON", "Object", "Array", "String",
                             "Number", "int", "Error", "a", "b", "length", "0", "1", "*", "parse", "stringify",
                             "appendChild", "children", "toXMLString", "toString", "child", "attribute", "name",
                             "replace", "setChildren", "descendants", "copy", "normalize", "insertChildAfter"})
        abc.name(name);
    for (const char* name : {"ByteArray", "Proxy", "Dictionary", "getTimer"}) abc.name("flash.utils", name);
    for (const char* name : {"writeUTF", "readUTF", "writeInt", "readDouble", "compress", "uncompress", "position",
                             "endian", "writeBytes", "readBytes", "writeObject", "readObject", "objectEncoding"})
        abc.name(name);
    abc.string("<a x=\"1\"><b>t</b><!-- c --><b><c/></b></a>");
    abc.string("{\"k\":[1,2,{\"z\":null}]}");
    abc.string("littleEndian");
    abc.integer(-1);
    abc.integer(1 << 20);
    abc.number(0.5);
    avm2test::Code code;
    code.bytes.assign(data, data + size);
    std::uint32_t init = abc.method();
    abc.body(init, code, 32, 16);
    abc.script(init);
    avm2test::Machine machine(avm2test::fuzzLimits());
    machine.run(abc);
    return 0;
}
