-- The lab's register of tools and reference instruments, as the benches' home folders keep it:
-- one row per line entered, never changed; the latest row of an identifier is its state. A bench
-- sends each line of its home once (its line number and the hash of its fields make it that line),
-- and the server vouches for who sent it and for which bench, as it does for tests and runs.
CREATE TABLE vornex_register_tools (
    entry bigserial PRIMARY KEY,
    id text NOT NULL,
    maker text NOT NULL,
    model text NOT NULL,
    serial text NOT NULL,
    type text NOT NULL,
    tool_class text NOT NULL,
    lowest double precision,
    maximum double precision NOT NULL,
    unit text NOT NULL,
    direction text NOT NULL,
    interval_months integer,
    interval_cycles bigint,
    lead_days integer NOT NULL,
    status text NOT NULL CHECK (status IN ('in-service', 'out-of-service', 'retired')),
    last_good date,
    description text NOT NULL,
    bench text NOT NULL,
    line integer NOT NULL,
    line_sha256 text NOT NULL,
    inserted_by text,
    entered timestamptz NOT NULL DEFAULT clock_timestamp(),
    CHECK (interval_months IS NOT NULL OR interval_cycles IS NOT NULL),
    CONSTRAINT vornex_register_tools_once UNIQUE (bench, line, line_sha256)
);
CREATE INDEX vornex_register_tools_id ON vornex_register_tools (id, entry);

CREATE TABLE vornex_register_references (
    entry bigserial PRIMARY KEY,
    asset text NOT NULL,
    maker text NOT NULL,
    model text NOT NULL,
    serial text NOT NULL,
    range double precision NOT NULL,
    unit text NOT NULL,
    resolution double precision NOT NULL,
    certificate text NOT NULL,
    uncertainty double precision NOT NULL,
    lowest double precision NOT NULL,
    due date,
    bench text NOT NULL,
    line integer NOT NULL,
    line_sha256 text NOT NULL,
    inserted_by text,
    entered timestamptz NOT NULL DEFAULT clock_timestamp(),
    CONSTRAINT vornex_register_references_once UNIQUE (bench, line, line_sha256)
);
CREATE INDEX vornex_register_references_asset ON vornex_register_references (asset, entry);

-- Before a line of the register goes in: who sent it, and for which bench. A line sent without
-- a bench is the login's own bench's.
CREATE FUNCTION vornex_vouch_register() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
BEGIN
    NEW.inserted_by := session_user;
    IF coalesce(NEW.bench, '') = '' THEN
        NEW.bench := coalesce((SELECT b.bench FROM vornex_bench_logins b
                                WHERE b.login = session_user), '');
    END IF;
    PERFORM vornex_check_bench(TG_RELID, NEW.bench);
    RETURN NEW;
END
$$;
DO $$
BEGIN
    EXECUTE format('ALTER FUNCTION vornex_vouch_register() SET search_path = %I, pg_temp',
                   current_schema());
END
$$;

CREATE TRIGGER vornex_register_tools_vouch BEFORE INSERT ON vornex_register_tools
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch_register();
CREATE TRIGGER vornex_register_references_vouch BEFORE INSERT ON vornex_register_references
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch_register();
CREATE TRIGGER vornex_register_tools_audit AFTER INSERT ON vornex_register_tools
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('id', 'entry');
CREATE TRIGGER vornex_register_references_audit AFTER INSERT ON vornex_register_references
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('asset', 'entry');

-- Each entry's state, with the row that first entered it (the register's order).
CREATE VIEW vornex_tools_now AS
SELECT DISTINCT ON (t.id) t.*, (SELECT min(f.entry) FROM vornex_register_tools f
                                 WHERE f.id = t.id) AS first_entry
  FROM vornex_register_tools t ORDER BY t.id, t.entry DESC;
CREATE VIEW vornex_references_now AS
SELECT DISTINCT ON (r.asset) r.*, (SELECT min(f.entry) FROM vornex_register_references f
                                    WHERE f.asset = r.asset) AS first_entry
  FROM vornex_register_references r ORDER BY r.asset, r.entry DESC;

-- What is due, as `vornex-cli register due` reckons it, on the session's today (its TimeZone):
-- a tool (not retired) at its last good verification plus its months, or when the complete pulls
-- of the tests made with it since then, judged against limits or not (the latest row of each
-- test, with the events of the record an amendment copies), and the pulls of its runs after that
-- day reach its count; overdue
-- past the day, at the count or never verified; due soon within its lead time, or when the pulls
-- at the rate so far would reach the count within it. A reference on its due date, lead 30 days.
CREATE VIEW vornex_due AS
WITH tools AS MATERIALIZED (
    SELECT t.id, t.first_entry, t.interval_cycles, t.lead_days, t.last_good,
           CASE WHEN t.last_good IS NOT NULL AND t.interval_months IS NOT NULL
                THEN (t.last_good + make_interval(months => t.interval_months))::date END AS due,
           (SELECT count(*)
              FROM vornex_tests s
              JOIN vornex_test_events e
                ON e.test_id = coalesce((SELECT a.original FROM vornex_amendments a
                                          WHERE a.id = s.id), s.id)
             WHERE s.tool = t.id AND e.complete
               AND (t.last_good IS NULL OR s.started >= t.last_good::timestamptz)
               AND NOT EXISTS (SELECT FROM vornex_tests n WHERE n.supersedes = s.id))::bigint
           -- Every pull of its runs after the day of its last good verification, that day's
           -- runs being the verification itself; an amendment's those of the run it amends.
           + (SELECT count(*)
                FROM vornex_runs u
                JOIN vornex_run_readings g
                  ON g.run_id = coalesce((SELECT a.original FROM vornex_amendments a
                                           WHERE a.id = u.id), u.id)
               WHERE u.tool = t.id
                 AND (t.last_good IS NULL OR u.started >= (t.last_good + 1)::timestamptz)
                 AND NOT EXISTS (SELECT FROM vornex_runs n WHERE n.supersedes = u.id))::bigint
               AS cycles
      FROM vornex_tools_now t
     WHERE t.status <> 'retired'
), judged AS MATERIALIZED (
    SELECT *, CASE WHEN due IS NULL THEN 'ok' WHEN current_date > due THEN 'overdue'
                   WHEN due - current_date <= lead_days THEN 'due-soon' ELSE 'ok' END AS by_date
      FROM tools
)
SELECT CASE
           WHEN last_good IS NULL THEN 'overdue'
           WHEN interval_cycles IS NOT NULL AND cycles >= interval_cycles THEN 'overdue'
           WHEN by_date = 'ok' AND interval_cycles IS NOT NULL AND cycles > 0
                AND cycles + cycles::double precision
                    / greatest(1, current_date - last_good) * lead_days >= interval_cycles
               THEN 'due-soon'
           ELSE by_date
       END AS state,
       'tool'::text AS kind, id, CASE WHEN last_good IS NOT NULL THEN due END AS due, cycles,
       interval_cycles AS cycles_interval, 0 AS kind_order, first_entry
  FROM judged
UNION ALL
SELECT CASE WHEN r.due IS NULL OR current_date > r.due THEN 'overdue'
            WHEN r.due - current_date <= 30 THEN 'due-soon' ELSE 'ok' END,
       'reference', r.asset, r.due, NULL, NULL, 1, r.first_entry
  FROM vornex_references_now r;

-- A run's readings as the run counted them: point (1 for the plan's first), its setting, the
-- deviation from it (%), the verdict as the run file says it (conforms or exceeds) and whether
-- it was a slip counted; NULL for a preload. Rows stored before this version keep NULL.
ALTER TABLE vornex_run_readings ADD COLUMN point integer, ADD COLUMN setting double precision,
    ADD COLUMN deviation double precision, ADD COLUMN verdict text, ADD COLUMN slip boolean;
-- Their content now has the new columns: the trail takes each as it stands, so that its last
-- entry is still the row's. So for runs below.
DO $$
DECLARE
    g vornex_run_readings;
BEGIN
    FOR g IN SELECT * FROM vornex_run_readings ORDER BY run_id, number LOOP
        PERFORM vornex_audit_add('existing', 'vornex_run_readings',
                                 concat_ws('/', g.run_id, g.number), NULL, to_jsonb(g)::text,
                                 'point, setting, deviation, verdict and slip added',
                                 vornex_row_hash(g));
    END LOOP;
END
$$;

-- The reference asset a run was made with, as its file's header names it ("Reference asset:
-- ASSET"), read by the server from the file it stores, so that the runs a reference touched are
-- found without reading every file. Runs whose file names none keep NULL.
ALTER TABLE vornex_runs ADD COLUMN reference_asset text;
CREATE FUNCTION vornex_run_reference() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    NEW.reference_asset := nullif(btrim(substring(
        encode(substring(NEW.file FROM 1 FOR 16384), 'escape')
        FROM '(?:^|\n)Reference asset: ([^\n]*)\n')), '');
    RETURN NEW;
END
$$;
CREATE TRIGGER vornex_runs_reference BEFORE INSERT ON vornex_runs
    FOR EACH ROW EXECUTE FUNCTION vornex_run_reference();
CREATE INDEX vornex_runs_reference ON vornex_runs (reference_asset, started);
DO $$
DECLARE
    r vornex_runs;
BEGIN
    FOR r IN SELECT * FROM vornex_runs ORDER BY stored, id LOOP
        PERFORM vornex_audit_add('existing', 'vornex_runs', r.id::text, NULL,
                                 (to_jsonb(r) - 'file')::text, 'reference_asset added',
                                 vornex_row_hash(r));
    END LOOP;
END
$$;

-- A bench reads the register too: the lab's tools are every bench's, and a pass over its own
-- lines sends only those the store does not hold.
GRANT INSERT, SELECT ON vornex_register_tools, vornex_register_references TO vornex_bench;
GRANT SELECT ON vornex_tools_now, vornex_references_now, vornex_due TO vornex_bench;
GRANT USAGE ON SEQUENCE vornex_register_tools_entry_seq, vornex_register_references_entry_seq
    TO vornex_bench;
GRANT SELECT ON vornex_register_tools, vornex_register_references, vornex_tools_now,
    vornex_references_now, vornex_due TO vornex_reader, vornex_reviewer;
