#pragma once

// A studio on the sample project for tests: the test's thread is its game thread, and requests
// are sent over loopback HTTP from another thread while the test thread serves them.

#include "HAL/IConsoleManager.h"
#include "HostEngine.h"
#include "StudioServer.h"
#include "TestProject.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

/** The widgets of a laid-out tree, depth first. */
inline void Flatten(const nlohmann::json& Widget, std::vector<nlohmann::json>& Out)
{
	Out.push_back(Widget);
	for (const nlohmann::json& Child : Widget["children"])
	{
		Flatten(Child, Out);
	}
}

/** The first Count sliders of one shape or two in a laid-out tree, in panel order. */
inline std::vector<nlohmann::json> ShapeSliders(const nlohmann::json& Tree, size_t Count)
{
	std::vector<nlohmann::json> Widgets;
	Flatten(Tree, Widgets);
	std::vector<nlohmann::json> Sliders;
	for (const nlohmann::json& Widget : Widgets)
	{
		const std::string Kind = Widget.value("kind", "");
		if (Sliders.size() < Count && (Kind == "oneShape" || Kind == "twoShapes"))
		{
			Sliders.push_back(Widget);
		}
	}
	return Sliders;
}

/** The body of a remote call of Function on the object at Path. */
inline std::string CallBody(const std::string& Path, const std::string& Function, const nlohmann::json& Arguments)
{
	return nlohmann::json{{"object", Path}, {"function", Function}, {"arguments", Arguments}}.dump();
}

class FStudioTestServer
{
public:
	/**
	 * Starts a studio on a sample project of its own (its Saved/ folder is the test's). Its
	 * texture results are 256 texels wide: on a CPU driver the full size would make every test
	 * wait seconds for each batch, and what the tests look at does not depend on the size.
	 */
	FStudioTestServer()
		: Engine(FProgramLayout(FString(VORPEX_STUDIO_TEST_PROGRAM_DIR)))
	{
		IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.ResultSize"))->Set(TEXT("256"));
		Project.MakeSample();
		FString Error;
		Server = FStudioServer::Start(Engine, FStudioOptions{Project.Dir(), 0}, Error);
		if (!Server)
		{
			ADD_FAILURE() << "the studio did not start: " << *Error;
		}
	}

	~FStudioTestServer()
	{
		Server.reset();
		Engine.ShutDown();
	}

	/** Runs Request with a client of the studio on another thread, serving it meanwhile; its result. */
	httplib::Result Send(const std::function<httplib::Result(httplib::Client&)>& Request)
	{
		std::future<httplib::Result> Answer = std::async(std::launch::async,
			[&]
			{
				httplib::Client Client("127.0.0.1", Server->GetPort());
				Client.set_read_timeout(60, 0);
				return Request(Client);
			});
		while (Answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
		{
			Server->RunFor(std::chrono::milliseconds(2));
		}
		return Answer.get();
	}

	httplib::Result Get(const std::string& Path) { return Send([&](httplib::Client& Client) { return Client.Get(Path); }); }

	httplib::Result Post(const std::string& Path, const std::string& Body)
	{
		return Send([&](httplib::Client& Client) { return Client.Post(Path, Body, "application/json"); });
	}

	/** The JSON body of a request that must succeed with status 200; null (and a test failure) otherwise. */
	nlohmann::json Json(const httplib::Result& Result)
	{
		if (!Result || Result->status != 200)
		{
			ADD_FAILURE() << "request failed: " << (Result ? std::to_string(Result->status) + " " + Result->body : std::string("no answer"));
			return nullptr;
		}
		return nlohmann::json::parse(Result->body, nullptr, false);
	}

	/** Begins editing the sample's first character; the edit answer. */
	nlohmann::json EditFirstCharacter() { return Json(Post("/api/edit", R"({"groupIndex": 0, "characterIndex": 0})")); }

	/** The live state once its version is above After. */
	nlohmann::json StateAfter(int64 After) { return Json(Get("/api/state?after=" + std::to_string(After))); }

	/** Serves until Done holds for the live state (or a minute passes); that state. */
	nlohmann::json WaitForState(const std::function<bool(const nlohmann::json&)>& Done)
	{
		nlohmann::json State = StateAfter(-1);
		for (int32 Attempt = 0; Attempt < 60 && !State.is_null() && !Done(State); ++Attempt)
		{
			State = StateAfter(State["version"].get<int64>());
		}
		return State;
	}

	FTestProject Project;
	FHostEngine Engine;
	TUniquePtr<FStudioServer> Server;
};
