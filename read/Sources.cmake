# The chart reader's sources, one list for its library and for the fuzz build
# (tests/fuzz), which builds the reader on its own.
set(VALVIX_READ_SOURCES
    PlotBox.h PlotBox.cpp
    BoxLean.h BoxLean.cpp
    BoxInk.h BoxInk.cpp
    LabelText.h LabelText.cpp
    AxisScale.h AxisScale.cpp
    TextReader.h TextReader.cpp
    AxisNumbers.h AxisNumbers.cpp
    AxisTitle.h AxisTitle.cpp
    GridLabels.h GridLabels.cpp
    CurveLabels.h CurveLabels.cpp
    CurveHeadings.h CurveHeadings.cpp
    LabelMarks.h LabelMarks.cpp
    LabelInk.h LabelInk.cpp
    LabelGroups.h LabelGroups.cpp
    TopEdgeLabels.h TopEdgeLabels.cpp
    LabelledFamily.h LabelledFamily.cpp
    Legend.h Legend.cpp
    LegendFamily.h LegendFamily.cpp
    LegendSamples.h LegendSamples.cpp
    LostPoints.h LostPoints.cpp
    ChartReader.h ChartReader.cpp)
# Reading and then fitting, which needs the solver the fuzz build leaves out.
set(VALVIX_READ_AND_FIT_SOURCES NewDesign.h NewDesign.cpp)
