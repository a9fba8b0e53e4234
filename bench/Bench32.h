#pragma once
// The sections of the 32-bit benchmark program (ostravine_bench32.exe): each one measures
// its baselines in the same run and reports ratios to them (bench/BenchReport.h).

// Integrate mode over whole large rasters, against a memcpy and a read pass of the same bytes.
void RunIntegrateBench(int repetitions);
// Line mode across bands of 15 and 63 pixels, against the line of one pixel.
void RunBandBench(int repetitions);
// Opening the dialog through the DLL as a host does, and toggling its direction box.
void RunDialogBench(int repetitions);
