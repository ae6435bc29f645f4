-- Closed tests as the benches sent them. Rows are only ever added: a corrected result is a new
-- row that names the one it supersedes.
DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'vornex_bench') THEN
        CREATE ROLE vornex_bench NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'vornex_reader') THEN
        CREATE ROLE vornex_reader NOLOGIN;
    END IF;
END
$$;

CREATE TABLE vornex_tests (
    id uuid PRIMARY KEY,
    supersedes uuid REFERENCES vornex_tests (id),
    bench text NOT NULL,
    operator text NOT NULL,
    tool text NOT NULL,
    tool_description text NOT NULL,
    note text NOT NULL,
    version text NOT NULL,
    name text NOT NULL,
    started timestamptz,
    ended timestamptz,
    result text NOT NULL,
    pass_count integer NOT NULL,
    low_count integer NOT NULL,
    high_count integer NOT NULL,
    incomplete_count integer NOT NULL,
    sha256 text NOT NULL,
    file bytea NOT NULL,
    companion bytea,
    stored timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE vornex_test_instruments (
    test_id uuid NOT NULL REFERENCES vornex_tests (id),
    slave integer NOT NULL,
    name text NOT NULL,
    identification text NOT NULL,
    settings jsonb NOT NULL,
    statistics jsonb NOT NULL,
    PRIMARY KEY (test_id, slave)
);

CREATE TABLE vornex_test_events (
    test_id uuid NOT NULL REFERENCES vornex_tests (id),
    slave integer NOT NULL,
    number integer NOT NULL,
    start_s double precision NOT NULL,
    end_s double precision NOT NULL,
    peak_s double precision NOT NULL,
    peak double precision NOT NULL,
    complete boolean NOT NULL,
    verdict text NOT NULL,
    PRIMARY KEY (test_id, slave, number)
);

GRANT INSERT ON vornex_tests, vornex_test_instruments, vornex_test_events TO vornex_bench;
GRANT SELECT ON vornex_tests, vornex_test_instruments, vornex_test_events TO vornex_reader;
