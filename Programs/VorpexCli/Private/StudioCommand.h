#pragma once

// `vorpex studio [PROJECT] [--port N] [--open]`: opens the project (the bundled one when none is
// given) and serves its character editor on http://127.0.0.1:N/ until interrupted (SIGINT or
// SIGTERM). The address is the one line on standard output; with --open the desktop's browser
// is asked to show it.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

class FStudioCommand : public IVorpexCommand
{
public:
	/** The project could not be opened, or the port could not be listened on. */
	static constexpr int32 ExitCannotServe = 1;

	CLI::App* Register(CLI::App& App) override;
	int32 Run(FHostEngine& Engine) override;

private:
	std::string ProjectDir;
	int32 Port = 8080;
	bool bOpen = false;
};
