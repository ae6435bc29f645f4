-- Verification runs, ended or abandoned, and what finding results by tool and time needs.
-- A run that went on after it was sent (resumed after an abandon) is sent again as a new row that
-- supersedes the earlier one; the two may reach the server in either order.
CREATE TABLE vornex_runs (
    id uuid PRIMARY KEY,
    supersedes uuid,
    bench text NOT NULL,
    operator text NOT NULL,
    tool text NOT NULL,
    instrument text NOT NULL,
    identification text NOT NULL,
    started timestamptz,
    ended timestamptz,
    result text NOT NULL,
    sha256 text NOT NULL,
    file bytea NOT NULL,
    stored timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE vornex_run_readings (
    run_id uuid NOT NULL REFERENCES vornex_runs (id),
    number integer NOT NULL,
    value double precision NOT NULL,
    PRIMARY KEY (run_id, number)
);

CREATE INDEX vornex_tests_tool ON vornex_tests (tool, started);
CREATE INDEX vornex_tests_started ON vornex_tests (started);
CREATE INDEX vornex_tests_supersedes ON vornex_tests (supersedes);
CREATE INDEX vornex_runs_tool ON vornex_runs (tool, started);
CREATE INDEX vornex_runs_supersedes ON vornex_runs (supersedes);

GRANT INSERT ON vornex_runs, vornex_run_readings TO vornex_bench;
GRANT SELECT ON vornex_runs, vornex_run_readings TO vornex_reader;
