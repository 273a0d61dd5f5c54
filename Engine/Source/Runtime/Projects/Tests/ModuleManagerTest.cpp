#include "Logging/LogCapture.h"
#include "Modules/ModuleManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
	/** What the test modules did, in order: "Startup Alpha#1", "Shutdown Alpha#1", "Destroy Alpha#1". */
	std::vector<std::string> Events;
	int NextSerial = 1;

	class FRecordingModule : public IModuleInterface
	{
	public:
		explicit FRecordingModule(std::string InName) : Id(std::move(InName) + "#" + std::to_string(NextSerial++)) {}
		~FRecordingModule() override { Events.push_back("Destroy " + Id); }
		void StartupModule() override { Events.push_back("Startup " + Id); }
		void ShutdownModule() override { Events.push_back("Shutdown " + Id); }

		std::string Id;
	};

	class FAlphaModule : public FRecordingModule
	{
	public:
		FAlphaModule() : FRecordingModule("Alpha") {}
	};

	class FBetaModule : public FRecordingModule
	{
	public:
		FBetaModule() : FRecordingModule("Beta") {}
	};

	/** Needs Beta and loads it while starting. */
	class FGammaModule : public FRecordingModule
	{
	public:
		FGammaModule() : FRecordingModule("Gamma") {}
		void StartupModule() override
		{
			FModuleManager::Get().LoadModule(TEXT("TestBeta"));
			FRecordingModule::StartupModule();
		}
	};

	class FFailingStartupModule : public FRecordingModule
	{
	public:
		FFailingStartupModule() : FRecordingModule("FailingStartup") {}
		void StartupModule() override
		{
			FRecordingModule::StartupModule();
			checkf(false, TEXT("the test module refuses to start"));
		}
	};

	/** Loads Beta and then a module that fails to start. */
	class FNeedsFailingModule : public FRecordingModule
	{
	public:
		FNeedsFailingModule() : FRecordingModule("NeedsFailing") {}
		void StartupModule() override
		{
			FRecordingModule::StartupModule();
			FModuleManager::Get().LoadModule(TEXT("TestBeta"));
			FModuleManager::Get().LoadModule(TEXT("TestFailingStartup"));
		}
	};

	/** Loads itself from its own start-up. */
	class FSelfLoadingModule : public FRecordingModule
	{
	public:
		FSelfLoadingModule() : FRecordingModule("SelfLoading") {}
		void StartupModule() override
		{
			FRecordingModule::StartupModule();
			FModuleManager::Get().LoadModule(TEXT("TestSelfLoading"));
		}
	};

	class FFailingShutdownModule : public FRecordingModule
	{
	public:
		FFailingShutdownModule() : FRecordingModule("FailingShutdown") {}
		void ShutdownModule() override
		{
			FRecordingModule::ShutdownModule();
			checkf(false, TEXT("the test module refuses to shut down"));
		}
	};

	IModuleInterface* MakeNothing()
	{
		return nullptr;
	}

	IModuleInterface* MakeBeta()
	{
		return new FBetaModule();
	}

	FModuleInitializerEntry NullModuleEntry(TEXT("TestNull"), &MakeNothing);
}

IMPLEMENT_MODULE(FAlphaModule, TestAlpha)
IMPLEMENT_MODULE(FBetaModule, TestBeta)
IMPLEMENT_MODULE(FGammaModule, TestGamma)
IMPLEMENT_MODULE(FFailingStartupModule, TestFailingStartup)
IMPLEMENT_MODULE(FNeedsFailingModule, TestNeedsFailing)
IMPLEMENT_MODULE(FSelfLoadingModule, TestSelfLoading)
IMPLEMENT_MODULE(FFailingShutdownModule, TestFailingShutdown)

class ModuleManagerTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Events.clear();
		NextSerial = 1;
	}

	void TearDown() override
	{
		FModuleManager::Get().ShutdownAllModules();
		EXPECT_TRUE(FModuleManager::Get().GetLoadedModuleNames().IsEmpty());
	}

	static std::vector<std::string> LoadedNames()
	{
		std::vector<std::string> Names;
		for (const FName& Name : FModuleManager::Get().GetLoadedModuleNames())
		{
			Names.push_back(Name.ToString().ToStdString());
		}
		return Names;
	}
};

TEST_F(ModuleManagerTest, LoadingStartsTheModuleOnceAndGivesTheSameObjectByAnySpelling)
{
	FModuleManager& Manager = FModuleManager::Get();
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestAlpha")));
	EXPECT_EQ(Manager.GetModule(TEXT("TestAlpha")), nullptr);

	IModuleInterface* Module = Manager.LoadModule(TEXT("TestAlpha"));
	ASSERT_NE(Module, nullptr);
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup Alpha#1"}));
	EXPECT_TRUE(Manager.IsModuleLoaded(TEXT("testALPHA")));
	EXPECT_EQ(Manager.LoadModule(TEXT("TESTALPHA")), Module);
	EXPECT_EQ(Manager.GetModule(TEXT("TestAlpha")), Module);
	EXPECT_EQ(&FModuleManager::LoadModuleChecked<FAlphaModule>(TEXT("TestAlpha")), Module);
	EXPECT_EQ(FModuleManager::GetModulePtr<FAlphaModule>(TEXT("TestAlpha")), Module);
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup Alpha#1"})) << "a loaded module is not started again";

	// Asking for the wrong class is caught rather than handing out a mistyped pointer.
	EXPECT_EQ(FModuleManager::GetModulePtr<FBetaModule>(TEXT("TestAlpha")), nullptr);
	try
	{
		FModuleManager::LoadModuleChecked<FBetaModule>(TEXT("TestAlpha"));
		ADD_FAILURE() << "LoadModuleChecked accepted a module of another class";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetMessage(), "ModuleManager: Module 'TestAlpha' is not of the requested type");
	}
	EXPECT_EQ(FModuleManager::GetModulePtr<FBetaModule>(TEXT("TestBeta")), nullptr) << "GetModulePtr loads nothing";
}

TEST_F(ModuleManagerTest, UnloadingShutsDownAndDestroysAndLoadingAgainMakesAFreshModule)
{
	FModuleManager& Manager = FModuleManager::Get();
	ASSERT_NE(Manager.LoadModule(TEXT("TestAlpha")), nullptr);
	EXPECT_TRUE(Manager.UnloadModule(TEXT("testalpha")));
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup Alpha#1", "Shutdown Alpha#1", "Destroy Alpha#1"}));
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestAlpha")));
	EXPECT_EQ(Manager.GetModule(TEXT("TestAlpha")), nullptr);
	EXPECT_FALSE(Manager.UnloadModule(TEXT("TestAlpha")));
	EXPECT_FALSE(Manager.UnloadModule(TEXT("NoSuchModule")));

	FAlphaModule* Reloaded = FModuleManager::GetModulePtr<FAlphaModule>(TEXT("TestAlpha"));
	EXPECT_EQ(Reloaded, nullptr);
	Reloaded = &FModuleManager::LoadModuleChecked<FAlphaModule>(TEXT("TestAlpha"));
	EXPECT_EQ(Reloaded->Id, "Alpha#2");
	EXPECT_EQ(Events.back(), "Startup Alpha#2");
}

TEST_F(ModuleManagerTest, ModulesShutDownInReverseOrderOfFinishedStartups)
{
	FModuleManager& Manager = FModuleManager::Get();
	ASSERT_NE(Manager.LoadModule(TEXT("TestAlpha")), nullptr);
	// Gamma loads Beta from its start-up: Beta finishes starting first, so it must outlive Gamma.
	ASSERT_NE(Manager.LoadModule(TEXT("TestGamma")), nullptr);
	EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"TestAlpha", "TestBeta", "TestGamma"}));
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup Alpha#1", "Startup Beta#3", "Startup Gamma#2"}));

	Events.clear();
	Manager.ShutdownAllModules();
	EXPECT_EQ(Events, (std::vector<std::string>{"Shutdown Gamma#2", "Destroy Gamma#2", "Shutdown Beta#3", "Destroy Beta#3",
		"Shutdown Alpha#1", "Destroy Alpha#1"}));
	EXPECT_TRUE(LoadedNames().empty());
}

TEST_F(ModuleManagerTest, AModuleWithoutUsableInitialiserIsAnErrorNotACrash)
{
	FLogCapture Capture;
	FModuleManager& Manager = FModuleManager::Get();
	EXPECT_EQ(Manager.LoadModule(TEXT("NoSuchModule")), nullptr);
	EXPECT_EQ(Manager.LoadModule(TEXT("TestNull")), nullptr);
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error),
		(TArray<FString>{TEXT("ModuleManager: Unable to load module 'NoSuchModule' because the module is not registered"),
			TEXT("ModuleManager: Unable to load module 'TestNull' because its initialiser made no module object")}));
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestNull")));

	try
	{
		FModuleManager::LoadModuleChecked<FAlphaModule>(TEXT("NoSuchModule"));
		ADD_FAILURE() << "LoadModuleChecked returned for an unknown module";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetMessage(), "ModuleManager: Module 'NoSuchModule' could not be loaded");
	}
}

TEST_F(ModuleManagerTest, AFailedStartupLeavesNothingLoadedAndCanBeTriedAgain)
{
	FLogCapture Capture;
	FModuleManager& Manager = FModuleManager::Get();
	EXPECT_THROW(Manager.LoadModule(TEXT("TestFailingStartup")), FCheckFailure);
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup FailingStartup#1", "Destroy FailingStartup#1"}))
		<< "a module that never started is not shut down, but it is destroyed";
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestFailingStartup")));
	EXPECT_TRUE(Capture.Contains(TEXT("ModuleManager: Module 'TestFailingStartup' failed to start up and was not loaded")));

	EXPECT_THROW(Manager.LoadModule(TEXT("TestFailingStartup")), FCheckFailure);
	EXPECT_EQ(Events.back(), "Destroy FailingStartup#2");

	// The failure passes through the module that needed it; what that module loaded first stays.
	Events.clear();
	EXPECT_THROW(Manager.LoadModule(TEXT("TestNeedsFailing")), FCheckFailure);
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestNeedsFailing")));
	EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"TestBeta"}));
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup NeedsFailing#3", "Startup Beta#4", "Startup FailingStartup#5",
		"Destroy FailingStartup#5", "Destroy NeedsFailing#3"}));
}

TEST_F(ModuleManagerTest, AModuleAskingForItselfWhileStartingFailsInsteadOfRecursing)
{
	FModuleManager& Manager = FModuleManager::Get();
	for (int Attempt = 1; Attempt <= 2; ++Attempt)
	{
		try
		{
			Manager.LoadModule(TEXT("TestSelfLoading"));
			ADD_FAILURE() << "a module loading itself during start-up was loaded";
		}
		catch (const FCheckFailure& Failure)
		{
			EXPECT_EQ(Failure.GetMessage(), "ModuleManager: Module 'TestSelfLoading' was asked for while it is starting up (circular dependency)");
		}
		EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestSelfLoading")));
	}
	// The second attempt started the module again: the first left no trace of "starting".
	EXPECT_EQ(Events, (std::vector<std::string>{"Startup SelfLoading#1", "Destroy SelfLoading#1", "Startup SelfLoading#2",
		"Destroy SelfLoading#2"}));
}

TEST_F(ModuleManagerTest, AFailingShutdownStillUnloadsEveryModule)
{
	FModuleManager& Manager = FModuleManager::Get();
	ASSERT_NE(Manager.LoadModule(TEXT("TestAlpha")), nullptr);
	ASSERT_NE(Manager.LoadModule(TEXT("TestFailingShutdown")), nullptr);
	ASSERT_NE(Manager.LoadModule(TEXT("TestBeta")), nullptr);
	Events.clear();

	try
	{
		Manager.ShutdownAllModules();
		ADD_FAILURE() << "the failed shutdown was not reported";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetMessage(), "the test module refuses to shut down");
	}
	EXPECT_EQ(Events, (std::vector<std::string>{"Shutdown Beta#3", "Destroy Beta#3", "Shutdown FailingShutdown#2",
		"Destroy FailingShutdown#2", "Shutdown Alpha#1", "Destroy Alpha#1"}));
	EXPECT_TRUE(LoadedNames().empty());

	ASSERT_NE(Manager.LoadModule(TEXT("TestFailingShutdown")), nullptr);
	EXPECT_THROW(Manager.UnloadModule(TEXT("TestFailingShutdown")), FCheckFailure);
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestFailingShutdown")));
	EXPECT_EQ(Events.back(), "Destroy FailingShutdown#4");
}

TEST_F(ModuleManagerTest, InitializerEntriesRegisterForTheirLifetimeAndTheFirstOfANameWins)
{
	FModuleManager& Manager = FModuleManager::Get();
	{
		FModuleInitializerEntry Temporary(TEXT("TestTemporary"), &MakeBeta);
		EXPECT_EQ(FModuleInitializerEntry::FindModule(TEXT("testtemporary")), &MakeBeta);
		EXPECT_NE(dynamic_cast<FBetaModule*>(Manager.LoadModule(TEXT("TestTemporary"))), nullptr);
		EXPECT_TRUE(Manager.UnloadModule(TEXT("TestTemporary")));
	}
	EXPECT_EQ(FModuleInitializerEntry::FindModule(TEXT("TestTemporary")), nullptr);
	EXPECT_EQ(Manager.LoadModule(TEXT("TestTemporary")), nullptr);

	FLogCapture Capture;
	{
		FModuleInitializerEntry Clash(TEXT("testALPHA"), &MakeBeta);
		EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error),
			(TArray<FString>{TEXT("ModuleManager: Module 'testALPHA' is registered twice; the second registration is ignored")}));
		EXPECT_NE(dynamic_cast<FAlphaModule*>(Manager.LoadModule(TEXT("TestAlpha"))), nullptr);
		EXPECT_TRUE(Manager.UnloadModule(TEXT("TestAlpha")));
	}
	// Destroying the ignored entry must not take the first one's registration with it.
	EXPECT_NE(dynamic_cast<FAlphaModule*>(Manager.LoadModule(TEXT("TestAlpha"))), nullptr);
}
