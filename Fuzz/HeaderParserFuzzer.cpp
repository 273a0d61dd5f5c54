// The header tool on any text: it reads the reflected declarations and writes the generated
// code for them, or refuses the header with an FHeaderToolError, its only way to fail.

#include "CodeGenerator.h"
#include "HeaderParser.h"
#include "HeaderToolError.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	try
	{
		const FParsedHeader Parsed = FHeaderParser("Fuzzed.h", std::string_view(reinterpret_cast<const char*>(Data), Size)).Parse();
		const FCodeGenerator Generator("Fuzzed", "Fuzzed", "Fuzzed.h");
		Generator.GenerateHeader(Parsed);
		Generator.GenerateSource(Parsed);
	}
	catch (const FHeaderToolError&)
	{
	}
	return 0;
}
