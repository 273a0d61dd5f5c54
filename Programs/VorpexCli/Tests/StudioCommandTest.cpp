// `vorpex studio`: what it refuses before it serves. Serving itself is tested over HTTP in the
// studio's own tests and in the browser.

#include "VorpexCliTestFolder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
	class StudioCommandTest : public VorpexCliTestFolder
	{
	};

	/** A loopback socket listening on a port of its own, which the studio then cannot have. */
	class FTakenPort
	{
	public:
		FTakenPort()
		{
			sockaddr_in Address{};
			Address.sin_family = AF_INET;
			Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
			socklen_t Length = sizeof(Address);
			EXPECT_EQ(bind(Socket, reinterpret_cast<sockaddr*>(&Address), Length), 0);
			EXPECT_EQ(listen(Socket, 1), 0);
			EXPECT_EQ(getsockname(Socket, reinterpret_cast<sockaddr*>(&Address), &Length), 0);
			Port = ntohs(Address.sin_port);
		}
		~FTakenPort() { close(Socket); }

		int Socket = socket(AF_INET, SOCK_STREAM, 0);
		int Port = 0;
	};
}

TEST_F(StudioCommandTest, RefusesWhatItCannotServe)
{
	for (const std::string Port : {"70000", "-1", "http"})
	{
		const FVorpexRun Result = Run({"studio", "--port", Port});
		EXPECT_EQ(Result.ExitCode, 64) << Port;
		EXPECT_EQ(Result.Out, "") << Port;
	}

	const FVorpexRun NoProject = Run({"studio", Root.string(), "--port", "0"});
	EXPECT_EQ(NoProject.ExitCode, 1) << "a folder that is no project";
	EXPECT_NE(NoProject.Err.find("project.json"), std::string::npos) << NoProject.Err;
	EXPECT_EQ(NoProject.Out, "");

	const FTakenPort Taken;
	const FVorpexRun Busy = Run({"studio", "--port", std::to_string(Taken.Port)});
	EXPECT_EQ(Busy.ExitCode, 1);
	EXPECT_NE(Busy.Err.find("cannot listen on 127.0.0.1:" + std::to_string(Taken.Port)), std::string::npos) << Busy.Err;
	EXPECT_EQ(Busy.Out, "") << "no address is printed for a studio that does not serve";
}
