// FHCKdTree: the shape Build gives, radius and nearest searches against brute force and at
// their boundaries, the Validate and Dump logs, copies and concurrent queries.

#include "HCKdTree.h"
#include "Logging/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

namespace
{
	TArray<FString> TempMessages(const FLogCapture& Capture, ELogVerbosity::Type Verbosity)
	{
		TArray<FString> Messages;
		for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
		{
			if (Entry.Category == LogTemp.GetCategoryName() && Entry.Verbosity == Verbosity)
			{
				Messages.Add(Entry.Message);
			}
		}
		return Messages;
	}

	FHCKdTree BuildTree(const TArray<FVector>& Points)
	{
		FHCKdTree Tree;
		Tree.Build(Points);
		return Tree;
	}

	/** Count points with coordinates drawn uniformly from [0, Extent). */
	TArray<FVector> RandomCloud(uint32 Seed, int32 Count, double Extent)
	{
		std::mt19937 Random(Seed);
		std::uniform_real_distribution<double> Coordinate(0.0, Extent);
		TArray<FVector> Points;
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Points.Add(FVector(Coordinate(Random), Coordinate(Random), Coordinate(Random)));
		}
		return Points;
	}

	/**
	 * Count points on a grid of quarter units in [0, Cells / 4)³: many share a coordinate
	 * and many share a position, and every distance to a grid query is exact.
	 */
	TArray<FVector> GridCloud(uint32 Seed, int32 Count, int32 Cells)
	{
		std::mt19937 Random(Seed);
		std::uniform_int_distribution<int32> Cell(0, Cells - 1);
		TArray<FVector> Points;
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Points.Add(FVector(Cell(Random) * 0.25, Cell(Random) * 0.25, Cell(Random) * 0.25));
		}
		return Points;
	}

	double SquaredDistance(const FVector& A, const FVector& B)
	{
		return (A.X - B.X) * (A.X - B.X) + (A.Y - B.Y) * (A.Y - B.Y) + (A.Z - B.Z) * (A.Z - B.Z);
	}

	std::vector<int32> BruteForceRadius(const TArray<FVector>& Points, const FVector& Query, float Radius)
	{
		std::vector<int32> Inside;
		for (int32 Index = 0; Index < Points.Num(); ++Index)
		{
			if (SquaredDistance(Points[Index], Query) < static_cast<double>(Radius * Radius))
			{
				Inside.push_back(Index);
			}
		}
		return Inside;
	}

	std::vector<int32> Sorted(const TArray<int32>& Indices)
	{
		std::vector<int32> Result(Indices.begin(), Indices.end());
		std::sort(Result.begin(), Result.end());
		return Result;
	}

	/** Every node in pre-order, as the tree links them. */
	void CollectPreOrder(const FHCKdTreeNode* Node, std::vector<const FHCKdTreeNode*>& OutNodes)
	{
		if (Node)
		{
			OutNodes.push_back(Node);
			CollectPreOrder(Node->Left, OutNodes);
			CollectPreOrder(Node->Right, OutNodes);
		}
	}
	/**
	 * The tree as the plain algorithm builds it, for comparison with the tree's faster
	 * build: a quicksort over the inclusive range that pivots on its first key, then the
	 * lower median as the node, each side built one axis further.
	 */
	class FReferenceTree
	{
	public:
		struct FNode
		{
			int32 Index;
			int32 Axis;
			int32 Left;
			int32 Right;
		};

		explicit FReferenceTree(const TArray<FVector>& InPoints)
			: Points(InPoints)
		{
			std::vector<int32> Indices(Points.Num());
			for (int32 Index = 0; Index < Points.Num(); ++Index)
			{
				Indices[Index] = Index;
			}
			Root = BuildRange(Indices, 0);
		}

		/** Every node in pre-order, children given as positions in this list. */
		std::vector<FNode> Nodes;
		int32 Root = -1;

		void RadiusSearch(int32 Node, const FVector& Query, float Radius, std::vector<int32>& Out) const
		{
			const double RadiusSquared = static_cast<double>(Radius * Radius);
			while (Node != -1)
			{
				const FVector& Point = Points[Nodes[Node].Index];
				if (SquaredDistanceOf(Point, Query) < RadiusSquared)
				{
					Out.push_back(Nodes[Node].Index);
				}
				const int32 Axis = Nodes[Node].Axis;
				RadiusSearch(Point[Axis] > Query[Axis] ? Nodes[Node].Left : Nodes[Node].Right, Query, Radius, Out);
				if (static_cast<float>(std::abs(Query[Axis] - Point[Axis])) >= Radius)
				{
					return;
				}
				Node = Point[Axis] <= Query[Axis] ? Nodes[Node].Left : Nodes[Node].Right;
			}
		}

	private:
		static double SquaredDistanceOf(const FVector& A, const FVector& B)
		{
			return (A.X - B.X) * (A.X - B.X) + (A.Y - B.Y) * (A.Y - B.Y) + (A.Z - B.Z) * (A.Z - B.Z);
		}

		void Sort(std::vector<int32>& Range, int32 First, int32 Last, int32 Axis) const
		{
			const auto Key = [&](int32 Position) { return Points[Range[Position]][Axis]; };
			const double Pivot = Key(First);
			int32 I = First;
			int32 J = Last;
			while (true)
			{
				while (I <= Last && Key(I) < Pivot)
				{
					++I;
				}
				while (J >= First && Key(J) > Pivot)
				{
					--J;
				}
				if (I > J)
				{
					if (First < I - 1)
					{
						Sort(Range, First, I - 1, Axis);
					}
					break;
				}
				std::swap(Range[I], Range[J]);
				++I;
				--J;
			}
			if (I < Last)
			{
				Sort(Range, I, Last, Axis);
			}
		}

		int32 BuildRange(std::vector<int32> Range, int32 Depth)
		{
			const int32 Count = static_cast<int32>(Range.size());
			if (Count < 1)
			{
				return -1;
			}
			const int32 Axis = Depth % 3;
			Sort(Range, 0, Count - 1, Axis);
			const int32 Median = (Count - 1) / 2;
			const int32 Node = static_cast<int32>(Nodes.size());
			Nodes.push_back({Range[Median], Axis, -1, -1});
			const int32 Left = BuildRange(std::vector<int32>(Range.begin(), Range.begin() + Median), Depth + 1);
			const int32 Right = BuildRange(std::vector<int32>(Range.begin() + Median + 1, Range.end()), Depth + 1);
			Nodes[Node].Left = Left;
			Nodes[Node].Right = Right;
			return Node;
		}

		const TArray<FVector>& Points;
	};
}

TEST(HCKdTree, FourPointsOnALineSplitAtTheLowerMedianAndSwapEqualKeys)
{
	const FHCKdTree Tree = BuildTree({FVector(0, 0, 0), FVector(1, 0, 0), FVector(2, 0, 0), FVector(3, 0, 0)});

	const FHCKdTreeNode* Root = Tree.GetRoot();
	ASSERT_NE(Root, nullptr);
	EXPECT_EQ(Root->Index, 1);
	EXPECT_EQ(Root->Axis, 0);

	const FHCKdTreeNode* Left = Root->Left;
	ASSERT_NE(Left, nullptr);
	EXPECT_EQ(Left->Index, 0);
	EXPECT_EQ(Left->Axis, 1);
	EXPECT_EQ(Left->Left, nullptr);
	EXPECT_EQ(Left->Right, nullptr);

	// Indices 2 and 3 have equal y keys; the partition swaps them, so 3 becomes the root.
	const FHCKdTreeNode* Right = Root->Right;
	ASSERT_NE(Right, nullptr);
	EXPECT_EQ(Right->Index, 3);
	EXPECT_EQ(Right->Axis, 1);
	EXPECT_EQ(Right->Left, nullptr);
	ASSERT_NE(Right->Right, nullptr);
	EXPECT_EQ(Right->Right->Index, 2);
	EXPECT_EQ(Right->Right->Axis, 2);
	EXPECT_EQ(Right->Right->Left, nullptr);
	EXPECT_EQ(Right->Right->Right, nullptr);
}

TEST(HCKdTree, BuildAndRadiusSearchMatchThePlainAlgorithmExactly)
{
	// Clouds rich in equal keys, where the partition decides the shape, of sizes on both
	// sides of where the build changes strategy; in order, in reverse, and with NaN.
	const double NaN = std::numeric_limits<double>::quiet_NaN();
	std::vector<TArray<FVector>> Clouds;
	for (const int32 Count : {2, 3, 7, 40, 63, 64, 65, 130, 1000, 5000})
	{
		Clouds.push_back(GridCloud(100 + Count, Count, 3));
		Clouds.push_back(GridCloud(200 + Count, Count, 9));
		Clouds.push_back(RandomCloud(300 + Count, Count, 10.0));
	}
	TArray<FVector> InOrder;
	TArray<FVector> Reversed;
	TArray<FVector> AllEqual;
	for (int32 Index = 0; Index < 500; ++Index)
	{
		InOrder.Add(FVector(Index, Index % 7, 0));
		Reversed.Add(FVector(-Index, 0, Index % 5));
		AllEqual.Add(FVector(1, 2, 3));
	}
	Clouds.insert(Clouds.end(), {InOrder, Reversed, AllEqual});
	TArray<FVector> WithNaN = GridCloud(400, 300, 5);
	WithNaN[17].X = NaN;
	WithNaN[150].Y = NaN;
	WithNaN[200] = FVector(NaN);
	Clouds.push_back(WithNaN);
	// Below a NaN split the plain search takes the right side for both near and far; the
	// tree searches each side once (see SplitsOnNaNHideNothingAndRepeatNothing).
	const TArray<FVector>* SearchedWithNaN = &Clouds.back();

	for (const TArray<FVector>& Points : Clouds)
	{
		SCOPED_TRACE(Points.Num());
		const FHCKdTree Tree = BuildTree(Points);
		const FReferenceTree Reference(Points);
		std::vector<const FHCKdTreeNode*> Nodes;
		CollectPreOrder(Tree.GetRoot(), Nodes);
		ASSERT_EQ(Nodes.size(), Reference.Nodes.size());
		for (size_t Position = 0; Position < Nodes.size(); ++Position)
		{
			const FReferenceTree::FNode& Expected = Reference.Nodes[Position];
			ASSERT_EQ(Nodes[Position]->Index, Expected.Index) << "node " << Position;
			ASSERT_EQ(Nodes[Position]->Axis, Expected.Axis);
			ASSERT_EQ(Nodes[Position]->Left ? Nodes[Position]->Left->Index : -1, Expected.Left == -1 ? -1 : Reference.Nodes[Expected.Left].Index);
			ASSERT_EQ(Nodes[Position]->Right ? Nodes[Position]->Right->Index : -1, Expected.Right == -1 ? -1 : Reference.Nodes[Expected.Right].Index);
		}

		for (const FVector& Query : GridCloud(500, &Points == SearchedWithNaN ? 0 : 30, 9))
		{
			for (const float Radius : {0.001f, 0.25f, 0.6f, 1.0f, 3.0f})
			{
				TArray<int32> Found;
				Tree.RadiusSearch(Query, Radius, Found);
				std::vector<int32> Expected;
				Reference.RadiusSearch(Reference.Root, Query, Radius, Expected);
				ASSERT_EQ(std::vector<int32>(Found.begin(), Found.end()), Expected) << "radius " << Radius << " around " << *Query.ToString();
			}
		}
	}
}

TEST(HCKdTree, EveryPointIsOneNodeAndEveryParentSplitsItsChildrenOnItsAxis)
{
	for (const TArray<FVector>& Points : {RandomCloud(1, 1000, 10.0), GridCloud(2, 1000, 6)})
	{
		const FHCKdTree Tree = BuildTree(Points);
		std::vector<const FHCKdTreeNode*> Nodes;
		CollectPreOrder(Tree.GetRoot(), Nodes);
		ASSERT_EQ(static_cast<int32>(Nodes.size()), Points.Num());

		std::vector<int32> Indices;
		for (const FHCKdTreeNode* Node : Nodes)
		{
			Indices.push_back(Node->Index);
			const double Split = Points[Node->Index][Node->Axis];
			if (Node->Left)
			{
				EXPECT_LE(Points[Node->Left->Index][Node->Axis], Split);
				EXPECT_EQ(Node->Left->Axis, (Node->Axis + 1) % 3);
			}
			if (Node->Right)
			{
				EXPECT_GE(Points[Node->Right->Index][Node->Axis], Split);
				EXPECT_EQ(Node->Right->Axis, (Node->Axis + 1) % 3);
			}
		}
		std::sort(Indices.begin(), Indices.end());
		EXPECT_EQ(std::adjacent_find(Indices.begin(), Indices.end()), Indices.end()) << "a point appears twice";
		EXPECT_EQ(Indices.front(), 0);
		EXPECT_EQ(Indices.back(), Points.Num() - 1);

		FLogCapture Capture;
		Tree.Validate();
		EXPECT_EQ(Capture.GetLines().Num(), 0);
	}
}

TEST(HCKdTree, BuildKeepsThePointsInTheCallersOrderAndReplacesEarlierContent)
{
	FHCKdTree Tree;
	Tree.Build(RandomCloud(3, 50, 1.0));
	const TArray<FVector> Points = {FVector(5, 1, 2), FVector(-3, 4, 0), FVector(0.5, 0.25, 9)};
	Tree.Build(Points);
	EXPECT_EQ(Tree.GetData(), Points);
	std::vector<const FHCKdTreeNode*> Nodes;
	CollectPreOrder(Tree.GetRoot(), Nodes);
	EXPECT_EQ(Nodes.size(), 3u);

	Tree.Reset();
	EXPECT_EQ(Tree.GetRoot(), nullptr);
	EXPECT_TRUE(Tree.GetData().IsEmpty());
}

TEST(HCKdTree, InputAlreadyInOrderBuildsAndSearches)
{
	// Points in order, or in reverse order, along the first split axis.
	for (const double Step : {1.0, -1.0})
	{
		TArray<FVector> Points;
		for (int32 Index = 0; Index < 100000; ++Index)
		{
			Points.Add(FVector(Index * Step, 0.0, 0.0));
		}
		const FHCKdTree Tree = BuildTree(Points);
		TArray<int32> Found;
		Tree.RadiusSearch(FVector(1000.0 * Step, 0.0, 0.0), 1.5f, Found);
		EXPECT_EQ(Sorted(Found), (std::vector<int32>{999, 1000, 1001}));
		EXPECT_EQ(Tree.FindNearest(FVector(65432.2 * Step, 1.0, 0.0)), 65432);
	}
}

TEST(HCKdTree, RadiusSearchFindsEveryCopyOfADuplicatedPosition)
{
	TArray<FVector> Points = RandomCloud(4, 500, 100.0);
	const FVector Shared(41.25, 17.5, 63.0);
	const std::vector<int32> Copies = {3, 77, 150, 151, 499};
	for (const int32 Index : Copies)
	{
		Points[Index] = Shared;
	}
	const FHCKdTree Tree = BuildTree(Points);

	TArray<int32> Found;
	Tree.RadiusSearch(Shared, 0.001f, Found);
	EXPECT_EQ(Sorted(Found), Copies);
	// A query a little off the position still finds all of them.
	Found.Reset();
	Tree.RadiusSearch(Shared + FVector(0.0004, -0.0003, 0.0005), 0.001f, Found);
	EXPECT_EQ(Sorted(Found), Copies);
}

TEST(HCKdTree, RadiusSearchIsStrictAtTheRadius)
{
	const TArray<FVector> Points = {FVector(0, 0, 0), FVector(2, 0, 0), FVector(1, 2, 2), FVector(0, 0, -3)};
	const FHCKdTree Tree = BuildTree(Points);
	const FVector Origin(0, 0, 0);

	TArray<int32> Found;
	Tree.RadiusSearch(Origin, 2.0f, Found);
	EXPECT_EQ(Sorted(Found), (std::vector<int32>{0})) << "(2, 0, 0) lies exactly at radius 2";
	Found.Reset();
	Tree.RadiusSearch(Origin, 3.0f, Found);
	EXPECT_EQ(Sorted(Found), (std::vector<int32>{0, 1})) << "(1, 2, 2) and (0, 0, -3) lie exactly at radius 3";
	Found.Reset();
	Tree.RadiusSearch(Origin, 3.0001f, Found);
	EXPECT_EQ(Sorted(Found), (std::vector<int32>{0, 1, 2, 3}));
	Found.Reset();
	Tree.RadiusSearch(Origin, 0.0f, Found);
	EXPECT_TRUE(Found.IsEmpty()) << "nothing is closer than 0, not even the point at the query";
}

TEST(HCKdTree, RadiusSearchAppendsInVisitingOrder)
{
	const FHCKdTree Tree = BuildTree({FVector(0, 0, 0), FVector(1, 0, 0), FVector(2, 0, 0), FVector(3, 0, 0)});
	TArray<int32> Found = {-5, 42};
	Tree.RadiusSearch(FVector(1.5, 0, 0), 10.0f, Found);
	// Root 1; its near side is Right (1 <= 1.5): 3, then 3's right child 2; then Left: 0.
	EXPECT_EQ(Found, (TArray<int32>{-5, 42, 1, 3, 2, 0}));

	Found.Reset();
	Tree.RadiusSearch(FVector(0.5, 0, 0), 10.0f, Found);
	// Root 1 lies beyond the query on x, so Left (0) comes before Right (3, 2).
	EXPECT_EQ(Found, (TArray<int32>{1, 0, 3, 2}));
}

TEST(HCKdTree, RadiusSearchMatchesBruteForceOnRandomClouds)
{
	struct FCase
	{
		TArray<FVector> Points;
		TArray<FVector> Queries;
		std::vector<float> Radii;
	};
	const std::vector<FCase> Cases = {
		{RandomCloud(5, 3000, 100.0), RandomCloud(6, 200, 100.0), {0.001f, 1.0f, 5.0f, 17.3f, 250.0f}},
		// Exact distances on a grid: points at exactly the radius must stay out.
		{GridCloud(7, 3000, 20), GridCloud(8, 200, 20), {0.25f, 0.5f, 1.25f, 2.0f}},
		{RandomCloud(9, 1, 1.0), RandomCloud(10, 20, 1.0), {0.5f, 2.0f}},
	};
	for (const FCase& Case : Cases)
	{
		const FHCKdTree Tree = BuildTree(Case.Points);
		for (const float Radius : Case.Radii)
		{
			for (const FVector& Query : Case.Queries)
			{
				TArray<int32> Found;
				Tree.RadiusSearch(Query, Radius, Found);
				ASSERT_EQ(Sorted(Found), BruteForceRadius(Case.Points, Query, Radius)) << "radius " << Radius << " around " << *Query.ToString();
			}
		}
	}
}

TEST(HCKdTree, SplitsOnNaNHideNothingAndRepeatNothing)
{
	// Points with no coordinates at all, some of which end up splitting subtrees.
	TArray<FVector> Points = GridCloud(18, 300, 5);
	for (int32 Index = 0; Index < Points.Num(); Index += 15)
	{
		Points[Index] = FVector(std::numeric_limits<double>::quiet_NaN());
	}
	const FHCKdTree Tree = BuildTree(Points);
	for (const FVector& Query : GridCloud(19, 30, 5))
	{
		TArray<int32> Found;
		Tree.RadiusSearch(Query, 3.0f, Found);
		ASSERT_EQ(Sorted(Found), BruteForceRadius(Points, Query, 3.0f)) << *Query.ToString();
	}
}

TEST(HCKdTree, FindNearestMatchesBruteForceOnRandomClouds)
{
	for (const TArray<FVector>& Points : {RandomCloud(11, 2000, 50.0), GridCloud(12, 2000, 12)})
	{
		const FHCKdTree Tree = BuildTree(Points);
		for (const FVector& Query : RandomCloud(13, 300, 60.0))
		{
			double Nearest = std::numeric_limits<double>::infinity();
			for (const FVector& Point : Points)
			{
				Nearest = std::min(Nearest, SquaredDistance(Point, Query));
			}
			const int32 Found = Tree.FindNearest(Query);
			ASSERT_TRUE(Points.IsValidIndex(Found));
			EXPECT_EQ(SquaredDistance(Points[Found], Query), Nearest) << *Query.ToString();
		}
	}
}

TEST(HCKdTree, FindNearestKeepsThePointMetFirstOnTies)
{
	// (-1, 0, 0) is the root whichever index it has; its neighbour at the same distance follows.
	EXPECT_EQ(BuildTree({FVector(-1, 0, 0), FVector(1, 0, 0)}).FindNearest(FVector(0, 0, 0)), 0);
	EXPECT_EQ(BuildTree({FVector(1, 0, 0), FVector(-1, 0, 0)}).FindNearest(FVector(0, 0, 0)), 1);

	// Root (0, 5, 0) splits on x at the query's own x, so Right is the near side: (1, 0, 0)
	// is met before (-1, 0, 0), which lies at the same distance on the far side.
	const FHCKdTree Tree = BuildTree({FVector(-1, 0, 0), FVector(0, 5, 0), FVector(1, 0, 0)});
	ASSERT_EQ(Tree.GetRoot()->Index, 1);
	EXPECT_EQ(Tree.FindNearest(FVector(0, 0, 0)), 2);

	// Copies of one position: the one nearest the root in search order.
	const FHCKdTree Copies = BuildTree({FVector(2, 2, 2), FVector(2, 2, 2), FVector(2, 2, 2)});
	EXPECT_EQ(Copies.FindNearest(FVector(0, 0, 0)), Copies.GetRoot()->Index);
}

TEST(HCKdTree, AnEmptyTreeFindsNothingAndRefusesANearestQuery)
{
	FHCKdTree Tree;
	Tree.Build({});
	EXPECT_EQ(Tree.GetRoot(), nullptr);
	TArray<int32> Found = {7};
	Tree.RadiusSearch(FVector(0, 0, 0), 1000.0f, Found);
	EXPECT_EQ(Found, (TArray<int32>{7}));
	EXPECT_THROW(Tree.FindNearest(FVector(0, 0, 0)), FCheckFailure);

	FLogCapture Capture;
	Tree.Validate();
	EXPECT_EQ(Capture.GetLines().Num(), 0);
	Tree.Dump();
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Display),
		(TArray<FString>{"========== DUMP FKdtree ==========", "=================================="}));
}

TEST(HCKdTree, DumpPrintsEveryNodeInPreOrder)
{
	FLogCapture Capture;
	BuildTree({FVector(1.5, -2, 3.25)}).Dump();
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Display),
		(TArray<FString>{"========== DUMP FKdtree ==========", "[0] value=(1.500000, -2.000000, 3.250000), axis=0, child_left=null, child_right=null",
			"=================================="}));

	Capture.Clear();
	BuildTree({FVector(0, 0, 0), FVector(1, 0, 0), FVector(2, 0, 0), FVector(3, 0, 0)}).Dump();
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Display),
		(TArray<FString>{"========== DUMP FKdtree ==========",
			"[1] value=(1.000000, 0.000000, 0.000000), axis=0, child_left=0, child_right=3",
			"[0] value=(0.000000, 0.000000, 0.000000), axis=1, child_left=null, child_right=null",
			"[3] value=(3.000000, 0.000000, 0.000000), axis=1, child_left=null, child_right=2",
			"[2] value=(2.000000, 0.000000, 0.000000), axis=2, child_left=null, child_right=null", "=================================="}));
	EXPECT_EQ(Capture.GetLines()[0], "LogTemp: Display: ========== DUMP FKdtree ==========");
}

TEST(HCKdTree, ValidateReportsChildrenOnTheWrongSide)
{
	// A coordinate that compares with nothing cannot be sorted, so it leaves points on the
	// wrong side of a split. Here the root is index 2 (x = 2) with the NaN point as its right child.
	const double NaN = std::numeric_limits<double>::quiet_NaN();
	FLogCapture Capture;
	BuildTree({FVector(NaN, 0, 0), FVector(1, 0, 0), FVector(2, 0, 0)}).Validate();
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Error), (TArray<FString>{"Kdtree is invalid: tree.Data[2][0](2.000000) > tree.Data[0][0](nan)"}));

	// Here the sort leaves x = 5 (index 5) left of the median x = 1 (index 1, the root).
	Capture.Clear();
	BuildTree({FVector(6, 0, 0), FVector(1, 0, 0), FVector(2, 0, 0), FVector(3, 0, 0), FVector(4, 0, 0), FVector(5, 0, 0), FVector(NaN, 0, 0)})
		.Validate();
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Error), (TArray<FString>{"Kdtree is invalid: tree.Data[1][0](1.000000) < tree.Data[5][0](5.000000)"}));
	EXPECT_EQ(Capture.GetLines().Num(), 1);
}

TEST(HCKdTree, CopiesAreDeepAndMovesTakeTheNodes)
{
	const TArray<FVector> Points = RandomCloud(14, 300, 10.0);
	FHCKdTree Original = BuildTree(Points);
	TArray<int32> Expected;
	Original.RadiusSearch(FVector(5, 5, 5), 3.0f, Expected);

	FHCKdTree Copy = Original;
	FHCKdTree Assigned;
	Assigned.Build(RandomCloud(15, 10, 1.0));
	Assigned = Original;
	Original.Build({FVector(5, 5, 5)});

	for (const FHCKdTree* Tree : {&Copy, &Assigned})
	{
		std::vector<const FHCKdTreeNode*> Nodes;
		CollectPreOrder(Tree->GetRoot(), Nodes);
		ASSERT_EQ(static_cast<int32>(Nodes.size()), Points.Num());
		TArray<int32> Found;
		Tree->RadiusSearch(FVector(5, 5, 5), 3.0f, Found);
		EXPECT_EQ(Found, Expected);
	}

	FHCKdTree Moved = std::move(Copy);
	TArray<int32> Found;
	Moved.RadiusSearch(FVector(5, 5, 5), 3.0f, Found);
	EXPECT_EQ(Found, Expected);
}

TEST(HCKdTree, ConcurrentQueriesGiveWhatOneThreadGets)
{
	const FHCKdTree Tree = BuildTree(RandomCloud(16, 20000, 100.0));
	const TArray<FVector> Queries = RandomCloud(17, 400, 100.0);
	const auto RunQueries = [&Tree, &Queries](TArray<int32>& OutFound)
	{
		for (const FVector& Query : Queries)
		{
			Tree.RadiusSearch(Query, 4.0f, OutFound);
			OutFound.Add(Tree.FindNearest(Query));
		}
	};
	TArray<int32> Expected;
	RunQueries(Expected);

	std::vector<TArray<int32>> Results(4);
	std::vector<std::thread> Threads;
	for (TArray<int32>& Result : Results)
	{
		Threads.emplace_back(RunQueries, std::ref(Result));
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	for (const TArray<int32>& Result : Results)
	{
		EXPECT_EQ(Result, Expected);
	}
}
