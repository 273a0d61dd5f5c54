#include "StudioServer.h"

#include "GameThreadQueue.h"
#include "HAL/IConsoleManager.h"
#include "HostEngine.h"
#include "LiveState.h"
#include "Misc/Paths.h"
#include "RequestOriginGuard.h"
#include "StudioApi.h"
#include "VorpexHost.h"

#include <httplib.h>

#include <charconv>
#include <thread>

namespace
{
	/** Requests carry small JSON objects; anything larger is refused before it is read. */
	constexpr size_t MaxBodyBytes = 64 * 1024;
	/** How long a state request waits for a change before answering with the state as it is. */
	constexpr std::chrono::milliseconds LongPollWait{10000};
	/** The world ticks at least this often while nothing is asked of it. */
	constexpr std::chrono::milliseconds IdleTickInterval{100};
	/** How often finished GPU work is looked for while some is pending. */
	constexpr std::chrono::milliseconds GpuPollInterval{4};
	constexpr std::chrono::milliseconds GarbageInterval{2000};
	/** Each connection the browser keeps open holds a thread, and state requests wait in theirs. */
	constexpr size_t HttpThreads = 32;

	using FClock = std::chrono::steady_clock;

	void Send(httplib::Response& Response, const FStudioResponse& Answer)
	{
		Response.status = Answer.Status;
		for (const auto& [Name, Value] : Answer.Headers)
		{
			Response.set_header(Name, Value);
		}
		Response.set_content(Answer.Body, Answer.ContentType.c_str());
	}

	/** Lets image processors keep results whose inputs did not change: the page redraws only what a move changed. */
	void KeepUnchangedTextureResults()
	{
		IConsoleVariable* Setting = IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.KeepUnchanged"));
		check(Setting);
		Setting->Set(TEXT("1"));
	}
}

class FStudioServer::FImpl
{
public:
	FImpl(FHostEngine& Engine, TUniquePtr<FVorpexHost> InHost)
		: Host(std::move(InHost))
		, WebDir(FPaths::Combine(Engine.GetLayout().GetDataDir(), TEXT("Studio"), TEXT("web")))
		, Api(MakeUnique<FStudioApi>(Engine, *Host, LiveState))
	{
	}

	~FImpl()
	{
		// Waiting requests are let go first, so that the HTTP threads can end.
		Queue.Close();
		LiveState.WakeAll();
		Http.stop();
		if (Listener.joinable())
		{
			Listener.join();
		}
		Api.reset();
		Host->Close();
	}

	bool Listen(int32 RequestedPort, FString& OutError);
	void RunFor(std::chrono::milliseconds Duration, const std::atomic<bool>* bStop);

	int32 Port = 0;

private:
	void Route();
	void RouteGameThreadWork();
	void RouteLiveState();
	bool ServeWebFolder(FString& OutError);
	/** Runs Work on the game thread and sends its answer; failures become 500 (a failed check) or 503 (shutting down). */
	template <typename FWork>
	void OnGameThread(httplib::Response& Response, FWork&& Work);
	void Tick();

	TUniquePtr<FVorpexHost> Host;
	FString WebDir;
	FLiveState LiveState;
	FGameThreadQueue Queue;
	TUniquePtr<FStudioApi> Api;
	httplib::Server Http;
	std::thread Listener;
	std::atomic<bool> bListenerEnded{false};
	FClock::time_point LastTick = FClock::now();
	FClock::time_point LastCollection = FClock::now();
	bool bGpuWorkPending = false;
};

template <typename FWork>
void FStudioServer::FImpl::OnGameThread(httplib::Response& Response, FWork&& Work)
{
	try
	{
		Send(Response, Queue.Call(std::forward<FWork>(Work)));
	}
	catch (const FCheckFailure& Failure)
	{
		Send(Response, FStudioResponse::Error(500, FString(Failure.what())));
	}
	catch (const FGameThreadQueueClosed& Closed)
	{
		Send(Response, FStudioResponse::Error(503, FString(Closed.what())));
	}
	catch (const std::future_error&)
	{
		Send(Response, FStudioResponse::Error(503, TEXT("the studio is shutting down")));
	}
}

bool FStudioServer::FImpl::Listen(int32 RequestedPort, FString& OutError)
{
	Http.new_task_queue = [] { return new httplib::ThreadPool(HttpThreads); };
	Http.set_payload_max_length(MaxBodyBytes);
	if (!ServeWebFolder(OutError))
	{
		return false;
	}
	Route();
	Port = RequestedPort == 0 ? Http.bind_to_any_port("127.0.0.1") : (Http.bind_to_port("127.0.0.1", RequestedPort) ? RequestedPort : -1);
	if (Port <= 0)
	{
		OutError = FString::Printf(TEXT("cannot listen on 127.0.0.1:%d (is another program using the port?)"), RequestedPort);
		return false;
	}
	Listener = std::thread(
		[this]
		{
			Http.listen_after_bind();
			bListenerEnded = true;
		});
	// Stopping a server that has not begun to listen does nothing, so a studio stopped right
	// after it started would wait for its listener forever: it starts only once listening.
	while (!Http.is_running() && !bListenerEnded)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
	}
	if (!Http.is_running())
	{
		OutError = FString::Printf(TEXT("cannot listen on 127.0.0.1:%d"), Port);
		return false;
	}
	return true;
}

bool FStudioServer::FImpl::ServeWebFolder(FString& OutError)
{
	const FString ThreeDir = FPaths::Combine(WebDir, TEXT("node_modules"), TEXT("three"));
	if (!Http.set_mount_point("/", std::string(*WebDir)) || !FPaths::FileExists(FPaths::Combine(WebDir, TEXT("index.html"))))
	{
		OutError = FString::Printf(TEXT("the studio's page is missing from %s"), *WebDir);
		return false;
	}
	if (!Http.set_mount_point("/vendor/three", std::string(*ThreeDir)))
	{
		OutError = FString::Printf(TEXT("three.js is missing from %s (scripts/setup.sh installs it)"), *ThreeDir);
		return false;
	}
	Http.set_file_extension_and_mimetype_mapping("mjs", "text/javascript");
	return true;
}

void FStudioServer::FImpl::Route()
{
	Http.set_pre_routing_handler(
		[this](const httplib::Request& Request, httplib::Response& Response)
		{
			const FString Refusal = FRequestOriginGuard(Port).CheckHeaders(Request.get_header_value("Host"), Request.get_header_value("Origin"));
			if (Refusal.IsEmpty())
			{
				return httplib::Server::HandlerResponse::Unhandled;
			}
			Send(Response, FStudioResponse::Error(403, Refusal));
			return httplib::Server::HandlerResponse::Handled;
		});
	// httplib answers some refusals itself (an unknown path, a body over the limit) without a body.
	Http.set_error_handler(
		[](const httplib::Request& Request, httplib::Response& Response)
		{
			if (Response.body.empty())
			{
				const FString Message = Response.status == 413 ? FString::Printf(TEXT("request bodies are at most %d bytes"), int32(MaxBodyBytes))
					: Response.status == 404 ? FString::Printf(TEXT("there is nothing at %s"), Request.path.c_str())
											 : FString::Printf(TEXT("the request was refused (HTTP %d)"), Response.status);
				Send(Response, FStudioResponse::Error(Response.status, Message));
			}
		});
	Http.set_exception_handler(
		[](const httplib::Request&, httplib::Response& Response, std::exception_ptr Failure)
		{
			FString Message = TEXT("the request failed");
			try
			{
				std::rethrow_exception(Failure);
			}
			catch (const std::exception& Exception)
			{
				Message = FString(Exception.what());
			}
			catch (...)
			{
			}
			Send(Response, FStudioResponse::Error(500, Message));
		});
	RouteGameThreadWork();
	RouteLiveState();
}

void FStudioServer::FImpl::RouteGameThreadWork()
{
	using FRequest = httplib::Request;
	using FResponse = httplib::Response;
	Http.Get("/api/characters", [this](const FRequest&, FResponse& Out) { OnGameThread(Out, [this] { return Api->ListCharacters(); }); });
	Http.Post("/api/edit", [this](const FRequest& In, FResponse& Out) { OnGameThread(Out, [&] { return Api->BeginEditing(In.body); }); });
	Http.Get("/api/editor", [this](const FRequest&, FResponse& Out) { OnGameThread(Out, [this] { return Api->EditorTree(); }); });
	Http.Post("/api/call", [this](const FRequest& In, FResponse& Out) { OnGameThread(Out, [&] { return Api->Call(In.body); }); });
	Http.Get("/api/states", [this](const FRequest&, FResponse& Out) { OnGameThread(Out, [this] { return Api->ListStates(); }); });
	Http.Post("/api/save", [this](const FRequest& In, FResponse& Out) { OnGameThread(Out, [&] { return Api->SaveState(In.body); }); });
	Http.Post("/api/load", [this](const FRequest& In, FResponse& Out) { OnGameThread(Out, [&] { return Api->LoadState(In.body); }); });
	Http.Get("/api/character.glb", [this](const FRequest&, FResponse& Out) { OnGameThread(Out, [this] { return Api->ExportCharacter(); }); });
	Http.Get("/api/compose.glb",
		[this](const FRequest& In, FResponse& Out)
		{
			OnGameThread(Out, [&] { return Api->ComposeCharacter(In.get_param_value("groupIndex"), In.get_param_value("characterIndex")); });
		});
	Http.Get("/api/texture", [this](const FRequest& In, FResponse& Out) { OnGameThread(Out, [&] { return Api->Texture(In.get_param_value("path")); }); });
}

void FStudioServer::FImpl::RouteLiveState()
{
	// The live state is read from its snapshot, so these never wait for the game thread.
	Http.Get("/api/state",
		[this](const httplib::Request& In, httplib::Response& Out)
		{
			int64 After = -1;
			const std::string Text = In.has_param("after") ? In.get_param_value("after") : std::string("-1");
			const std::from_chars_result Parsed = std::from_chars(Text.data(), Text.data() + Text.size(), After);
			if (Text.empty() || Parsed.ec != std::errc() || Parsed.ptr != Text.data() + Text.size())
			{
				Send(Out, FStudioResponse::Error(400, TEXT("after is a state version, a whole number")));
				return;
			}
			Send(Out, FStudioResponse::Json(LiveStateJson(LiveState.WaitNewerThan(After, LongPollWait))));
		});
	Http.Get(R"(/api/albedo/(\d{1,6}))",
		[this](const httplib::Request& In, httplib::Response& Out)
		{
			const FLiveStateSnapshot Snapshot = LiveState.Get();
			const int32 Index = std::stoi(In.matches[1].str());
			if (!Snapshot.Albedos.IsValidIndex(Index) || !Snapshot.Albedos[Index].Texels)
			{
				Send(Out, FStudioResponse::Error(404, FString::Printf(TEXT("there is no albedo %d to show yet"), Index)));
				return;
			}
			const FLiveAlbedo& Albedo = Snapshot.Albedos[Index];
			FStudioResponse Answer = FStudioResponse::Bytes("application/octet-stream", std::string(Albedo.Texels->begin(), Albedo.Texels->end()));
			Answer.Headers = {{"X-Width", std::to_string(Albedo.Width)}, {"X-Height", std::to_string(Albedo.Height)},
				{"X-Version", std::to_string(Albedo.Version)}, {"Cache-Control", "no-store"}};
			Send(Out, Answer);
		});
}

void FStudioServer::FImpl::Tick()
{
	const FClock::time_point Now = FClock::now();
	const float DeltaSeconds = FMath::Clamp(std::chrono::duration<float>(Now - LastTick).count(), 0.0f, 0.25f);
	LastTick = Now;
	bGpuWorkPending = Api->Tick(DeltaSeconds);
	if (Now - LastCollection >= GarbageInterval)
	{
		Api->CollectGarbage();
		LastCollection = Now;
	}
}

void FStudioServer::FImpl::RunFor(std::chrono::milliseconds Duration, const std::atomic<bool>* bStop)
{
	const FClock::time_point End = FClock::now() + Duration;
	while (FClock::now() < End && !(bStop && *bStop))
	{
		const std::chrono::milliseconds Wait = bGpuWorkPending ? GpuPollInterval : IdleTickInterval;
		const bool bWorked = Queue.RunQueued(std::min(Wait, std::chrono::duration_cast<std::chrono::milliseconds>(End - FClock::now())));
		// A request's change shows at the tick right after it; otherwise the world ticks slowly,
		// leaving the cores to the GPU work, whose end is only looked for.
		// The server keeps serving after a failure in a tick; the log has its check text.
		try
		{
			if (bWorked || FClock::now() - LastTick >= IdleTickInterval)
			{
				Tick();
			}
			else if (bGpuWorkPending)
			{
				bGpuWorkPending = Api->UpdateGpuWork();
			}
		}
		catch (const std::exception& Failure)
		{
			UE_LOG(LogTemp, Error, TEXT("The studio's tick failed: %s"), Failure.what());
		}
	}
}

TUniquePtr<FStudioServer> FStudioServer::Start(FHostEngine& Engine, const FStudioOptions& Options, FString& OutError)
{
	if (Options.Port < 0 || Options.Port > 65535)
	{
		OutError = FString::Printf(TEXT("%d is not a port (0 to 65535)"), Options.Port);
		return nullptr;
	}
	TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, Options.ProjectDir, OutError);
	if (!Host)
	{
		return nullptr;
	}
	KeepUnchangedTextureResults();
	auto Impl = MakeUnique<FImpl>(Engine, std::move(Host));
	if (!Impl->Listen(Options.Port, OutError))
	{
		return nullptr;
	}
	return TUniquePtr<FStudioServer>(new FStudioServer(std::move(Impl)));
}

FStudioServer::FStudioServer(TUniquePtr<FImpl> InImpl)
	: Impl(std::move(InImpl))
{
}

FStudioServer::~FStudioServer() = default;

int32 FStudioServer::GetPort() const
{
	return Impl->Port;
}

FString FStudioServer::GetAddress() const
{
	return FString::Printf(TEXT("http://127.0.0.1:%d/"), Impl->Port);
}

void FStudioServer::Run(const std::atomic<bool>& bStop)
{
	while (!bStop)
	{
		Impl->RunFor(std::chrono::milliseconds(1000), &bStop);
	}
}

void FStudioServer::RunFor(std::chrono::milliseconds Duration)
{
	Impl->RunFor(Duration, nullptr);
}
