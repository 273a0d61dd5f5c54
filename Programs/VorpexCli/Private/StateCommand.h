#pragma once

// `vorpex state decode FILE` prints an edit-state file (the model serializer's bytes) as JSON on
// standard output; `vorpex state encode JSON OUT` writes the bytes of such JSON to OUT (see
// EditStateJson.h for the form). Bytes are read with the model serializer's own checks, so a
// file the serializer refuses is refused here with the same reason. Encoding what decode
// printed gives the file's bytes back; where a file holds something the writer never writes
// (values in reserved fields, bytes after the last section), decode says so on standard error.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

class FStateCommand : public IVorpexCommand
{
public:
	/** The input could not be read or is not an edit state (bytes or JSON). */
	static constexpr int32 ExitBadInput = 1;
	/** The output file could not be written. */
	static constexpr int32 ExitWriteFailed = 2;

	CLI::App* Register(CLI::App& App) override;
	int32 Run(FHostEngine& Engine) override;

private:
	int32 Decode() const;
	int32 Encode() const;

	CLI::App* DecodeCommand = nullptr;
	std::string InputFile;
	std::string OutputFile;
};
