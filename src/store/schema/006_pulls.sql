-- Each instrument's complete, judged pulls of a stored test gathered into one row: a tool's
-- history over many tests then reads one row per test and instrument rather than one per pull.
-- Only the server writes these rows, from the events as they go in; `store verify` checks that
-- they still are what the events give.

-- The unit an instrument measured in at `at` seconds into its test: that of the last settings
-- begun by then, else of the first.
CREATE FUNCTION vornex_unit_at(settings jsonb, at double precision) RETURNS integer
LANGUAGE plpgsql IMMUTABLE
AS $$
DECLARE
    found integer;
BEGIN
    IF jsonb_typeof(settings) IS DISTINCT FROM 'array' THEN
        RETURN NULL;
    END IF;
    found := coalesce((settings -> 0 ->> 'unit')::integer, 0);
    -- Indexed rather than expanded: this runs once per event.
    FOR k IN 1 .. jsonb_array_length(settings) - 1 LOOP
        IF coalesce((settings -> k ->> 'since')::double precision, 0) <= at THEN
            found := coalesce((settings -> k ->> 'unit')::integer, 0);
        END IF;
    END LOOP;
    RETURN found;
END
$$;

-- What the events give: a row for every test and instrument with events, empty when none of
-- them is a complete, judged pull, so that a record's newest row with events still says which
-- row carries its pulls. The pulls are 20 bytes each, in the order of their numbers: the peak's
-- time and the peak (float8) and the unit (int4, -1 when the instrument's settings are not
-- stored), big-endian as float8send and int4send write them. Bytes rather than arrays: a
-- history of many tests is sent in a fraction of the time.
CREATE VIEW vornex_gathered_pulls AS
SELECT e.test_id, e.slave,
       coalesce(string_agg(float8send(e.peak_s) || float8send(e.peak)
                               || int4send(coalesce(vornex_unit_at(i.settings, e.peak_s), -1)),
                           ''::bytea ORDER BY e.number)
                    FILTER (WHERE e.complete AND e.verdict <> 'incomplete'), ''::bytea) AS pulls
  FROM vornex_test_events e
  LEFT JOIN vornex_test_instruments i ON i.test_id = e.test_id AND i.slave = e.slave
 GROUP BY e.test_id, e.slave;

CREATE TABLE vornex_test_pulls (
    test_id uuid NOT NULL REFERENCES vornex_tests (id),
    slave integer NOT NULL,
    pulls bytea NOT NULL,
    PRIMARY KEY (test_id, slave)
);

INSERT INTO vornex_test_pulls SELECT * FROM vornex_gathered_pulls;

-- At commit, once per instrument whose events the transaction added: gathered after the last of
-- them went in, and after its settings, in whatever order the bench sent them. Gathering at
-- every event instead would rewrite a long test's arrays once per pull.
CREATE FUNCTION vornex_gather_pulls() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM vornex_test_pulls p
                WHERE p.test_id = NEW.test_id AND p.slave = NEW.slave
                  AND p.xmin = pg_current_xact_id()::xid) THEN
        RETURN NULL;
    END IF;
    INSERT INTO vornex_test_pulls
    SELECT * FROM vornex_gathered_pulls g WHERE g.test_id = NEW.test_id AND g.slave = NEW.slave
    ON CONFLICT (test_id, slave) DO UPDATE SET pulls = EXCLUDED.pulls;
    RETURN NULL;
END
$$;
DO $$
BEGIN
    EXECUTE format('ALTER FUNCTION vornex_gather_pulls() SET search_path = %I, pg_temp',
                   current_schema());
END
$$;

CREATE CONSTRAINT TRIGGER vornex_test_events_gather AFTER INSERT ON vornex_test_events
    DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION vornex_gather_pulls();

GRANT SELECT ON vornex_test_pulls, vornex_gathered_pulls TO vornex_reader, vornex_reviewer;
