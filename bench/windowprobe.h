#pragma once

/**
 * The program's start-up and log-in in the real window under the offscreen platform, measured
 * from inside a process of its own (so its peak memory is the program's): prints startup_ms (from
 * the parent's spawn to the first frame of the log-in window), login_ms (from the log-in to the
 * first frame of the main frame with every page loaded), peak_rss_kb and frame (what was shown),
 * and writes the SQL each phase ran for the floor.
 */
int runWindowProbe(int argc, char* argv[]);
