#pragma once

// `vorpex inspect KIND FILE`: loads a data file through its data asset's Load and prints the
// asset's fields as canonical JSON on standard output. Object paths in the file ("/Game/...")
// resolve against the content folder given with --content or, without it, the nearest folder
// named "Content" that encloses FILE. With --check, configuration errors are written to
// standard error, one line each, after the JSON.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

class FInspectCommand : public IVorpexCommand
{
public:
	/** What the command line gave. */
	struct FOptions
	{
		/** "catalog", "descriptor", "config" or "skin". */
		std::string Kind;
		std::string File;
		std::string ContentDir;
		/** The catalog a descriptor's positions are checked against (with --check). */
		std::string CatalogFile;
		bool bCheck = false;
	};

	/** Exit codes beyond 0 (success). */
	static constexpr int32 ExitLoadFailed = 1;
	static constexpr int32 ExitCheckFailed = 2;

	CLI::App* Register(CLI::App& App) override;
	/** A catalog is only given with a descriptor. */
	void Validate() const override;
	int32 Run(FHostEngine& Engine) override;

private:
	FOptions Options;
};
