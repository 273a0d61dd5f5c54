#include "StudioCommand.h"

#include "StudioServer.h"

#include "CLI11.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace
{
	std::atomic<bool> bStopRequested{false};

	void RequestStop(int)
	{
		bStopRequested = true;
	}

	/** Asks the desktop to open Address in its browser; the studio serves on whether or not that works. */
	void OpenInBrowser(const FString& Address)
	{
		const std::string Url(*Address);
		char Program[] = "xdg-open";
		char* Arguments[] = {Program, const_cast<char*>(Url.c_str()), nullptr};
		pid_t Child = 0;
		if (posix_spawnp(&Child, Program, nullptr, nullptr, Arguments, environ) != 0)
		{
			std::fprintf(stderr, "vorpex: cannot start xdg-open to show %s; open it in a browser\n", Url.c_str());
			return;
		}
		// xdg-open hands the address to the browser and ends; its status is not waited for longer than that.
		int Status = 0;
		waitpid(Child, &Status, 0);
		if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0)
		{
			std::fprintf(stderr, "vorpex: no browser could be opened; open %s in one\n", Url.c_str());
		}
	}
}

CLI::App* FStudioCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("studio", "Serve the character editor of a project to a web browser");
	Command->footer(
		"Serves on 127.0.0.1 only and prints the address on standard output; Ctrl-C stops it. The page edits a character of\n"
		"the project live: sliders, colour pickers and shape polygons, a 3-D preview, saving and loading edit states\n"
		"(in the project's Saved/ folder) and exporting the character as .glb.\n"
		"Exit codes: 0 stopped, 1 the project cannot be opened or the port is in use, 64 bad usage.");
	Command->add_option("project", ProjectDir, "The project folder (default: the bundled sample)")->type_name("PROJECT");
	Command->add_option("--port", Port, "The port to listen on (default 8080; 0 takes a free one)")->type_name("N")->transform(CLI::Range(0, 65535));
	Command->add_flag("--open", bOpen, "Open the studio in the desktop's browser");
	return Command;
}

int32 FStudioCommand::Run(FHostEngine& Engine)
{
	FString Error;
	TUniquePtr<FStudioServer> Server = FStudioServer::Start(Engine, FStudioOptions{FString(ProjectDir), Port}, Error);
	if (!Server)
	{
		std::fprintf(stderr, "vorpex: %s\n", *Error);
		return ExitCannotServe;
	}
	std::signal(SIGINT, RequestStop);
	std::signal(SIGTERM, RequestStop);
	std::fprintf(stdout, "%s\n", *Server->GetAddress());
	std::fflush(stdout);
	std::fprintf(stderr, "vorpex: the studio is serving %s; Ctrl-C stops it\n", *Server->GetAddress());
	if (bOpen)
	{
		OpenInBrowser(Server->GetAddress());
	}
	Server->Run(bStopRequested);
	std::fprintf(stderr, "vorpex: the studio stopped\n");
	return 0;
}
