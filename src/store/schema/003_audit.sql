-- The store vouches for what it holds: the server records who inserted each row, checks each
-- file against its hash, binds each bench login to the one bench it may speak for, and keeps an
-- append-only trail whose hash chain, over every inserted row's content too, shows a later change.
DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'vornex_reviewer') THEN
        CREATE ROLE vornex_reviewer NOLOGIN;
    END IF;
END
$$;

-- Rows stored before this version keep NULL: nobody recorded who sent them.
ALTER TABLE vornex_tests ADD COLUMN inserted_by text;
ALTER TABLE vornex_runs ADD COLUMN inserted_by text;

CREATE TABLE vornex_bench_logins (
    login text PRIMARY KEY,
    bench text NOT NULL
);

CREATE TABLE vornex_audit (
    id bigserial PRIMARY KEY,
    logged_at timestamptz NOT NULL,
    login text NOT NULL,
    action text NOT NULL,
    table_name text NOT NULL,
    record text NOT NULL,
    old_value text,
    new_value text,
    reason text,
    row_hash text NOT NULL,
    prev_hash text NOT NULL,
    hash text NOT NULL
);
CREATE INDEX vornex_audit_record ON vornex_audit (table_name, record);

-- A row's content as one hash, the same in every session: the settings that change how a value
-- is written out are fixed for the call.
CREATE FUNCTION vornex_row_hash(row_value anyelement) RETURNS text
LANGUAGE sql STABLE
SET TimeZone = 'UTC' SET DateStyle = 'ISO, YMD' SET IntervalStyle = 'postgres'
SET extra_float_digits = 1 SET bytea_output = 'hex'
AS $$ SELECT encode(sha256(convert_to(row_to_json(row_value)::text, 'UTF8')), 'hex') $$;

-- One field of an audit row as the chain hashes it: its length in bytes, a colon and the text, or
-- "~" for NULL, so that no two rows' fields run together into the same input.
CREATE FUNCTION vornex_audit_field(value text) RETURNS text
LANGUAGE sql IMMUTABLE
AS $$ SELECT CASE WHEN value IS NULL THEN '~' ELSE octet_length(value) || ':' || value END $$;

-- Appends one row to the trail. Appends take turns, so two benches never hang their rows on the
-- same predecessor; a transaction that does not see the rows committed before it (repeatable
-- read, serializable) could, and is refused.
CREATE FUNCTION vornex_audit_add(action text, table_name text, record_key text,
                                 old_value text, new_value text, reason text, row_hash text)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    stamp timestamptz := clock_timestamp();
    previous text;
    next_id bigint;
BEGIN
    IF current_setting('transaction_isolation') <> 'read committed' THEN
        RAISE EXCEPTION 'the audit trail is appended to in read committed transactions only, '
                        'not in %', current_setting('transaction_isolation')
            USING ERRCODE = '25000';
    END IF;
    PERFORM pg_advisory_xact_lock(7242011);
    SELECT a.hash INTO previous FROM vornex_audit a ORDER BY a.id DESC LIMIT 1;
    previous := coalesce(previous, repeat('0', 64));
    next_id := nextval(pg_get_serial_sequence('vornex_audit', 'id'));
    INSERT INTO vornex_audit VALUES (next_id, stamp, session_user, action, table_name, record_key,
        old_value, new_value, reason, row_hash, previous,
        encode(sha256(convert_to(previous
            || vornex_audit_field(next_id::text)
            || vornex_audit_field(to_char(stamp AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS.US"Z"'))
            || vornex_audit_field(session_user::text) || vornex_audit_field(action)
            || vornex_audit_field(table_name) || vornex_audit_field(record_key)
            || vornex_audit_field(old_value) || vornex_audit_field(new_value)
            || vornex_audit_field(reason) || vornex_audit_field(row_hash), 'UTF8')), 'hex'));
END
$$;

-- Checks that the session's login may insert a row of `bench` into `target`. The tables' owner
-- (the administrator who ran store init) and superusers are not bound: they could change the
-- tables anyway, and the trail names them.
CREATE FUNCTION vornex_check_bench(target regclass, bench text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    bound text;
BEGIN
    IF (SELECT rolsuper FROM pg_roles WHERE rolname = session_user)
       OR session_user = (SELECT pg_get_userbyid(relowner) FROM pg_class WHERE oid = target) THEN
        RETURN;
    END IF;
    SELECT b.bench INTO bound FROM vornex_bench_logins b WHERE b.login = session_user;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'login % is bound to no bench; the administrator binds it with '
                        '"vornex-cli store bench add BENCH --login %"', session_user, session_user
            USING ERRCODE = '42501';
    END IF;
    IF bound IS DISTINCT FROM bench THEN
        RAISE EXCEPTION 'login % sends for bench "%" only, not for bench "%"', session_user,
                        bound, bench
            USING ERRCODE = '42501';
    END IF;
END
$$;

-- Before a test or run goes in: who sent it, whether its file is the one its hash names, whether
-- the login may speak for its bench, and whether the row it supersedes is its own bench's.
CREATE FUNCTION vornex_vouch() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    computed text := encode(sha256(NEW.file), 'hex');
    superseded text;
BEGIN
    NEW.inserted_by := session_user;
    IF NEW.sha256 IS DISTINCT FROM computed THEN
        RAISE EXCEPTION '% %: the SHA-256 sent, %, is not its file''s, %', TG_TABLE_NAME, NEW.id,
                        NEW.sha256, computed
            USING ERRCODE = '23514';
    END IF;
    PERFORM vornex_check_bench(TG_RELID, NEW.bench);
    IF NEW.supersedes IS NOT NULL THEN
        EXECUTE format('SELECT bench FROM %s WHERE id = $1', TG_RELID::regclass)
            INTO superseded USING NEW.supersedes;
        IF superseded IS DISTINCT FROM NEW.bench AND superseded IS NOT NULL THEN
            RAISE EXCEPTION '% % of bench "%" cannot supersede % of bench "%"', TG_TABLE_NAME,
                            NEW.id, NEW.bench, NEW.supersedes, superseded
                USING ERRCODE = '42501';
        END IF;
    END IF;
    RETURN NEW;
END
$$;

-- Before an instrument, event or reading goes in: only under a test or run of the login's bench.
-- The first argument names the parent table, the second the column holding the parent's id.
CREATE FUNCTION vornex_vouch_part() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    parent_bench text;
BEGIN
    EXECUTE format('SELECT bench FROM %I WHERE id = $1::uuid', TG_ARGV[0])
        INTO parent_bench USING to_jsonb(NEW) ->> TG_ARGV[1];
    IF parent_bench IS NOT NULL THEN
        PERFORM vornex_check_bench(TG_RELID, parent_bench);
    END IF;
    RETURN NEW;
END
$$;

-- After any row goes in: its trail entry. The arguments name the key's columns, joined with "/"
-- into the entry's record; the new value is the row without its files' bytes.
CREATE FUNCTION vornex_audit_insert() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    key text;
BEGIN
    SELECT string_agg(to_jsonb(NEW) ->> k, '/' ORDER BY n) INTO key
      FROM unnest(TG_ARGV) WITH ORDINALITY AS u(k, n);
    PERFORM vornex_audit_add('insert', TG_TABLE_NAME, key, NULL,
                             (to_jsonb(NEW) - 'file' - 'companion')::text, NULL,
                             vornex_row_hash(NEW));
    RETURN NULL;
END
$$;

-- The functions find the store's tables, and nothing a login put before them, by the schema
-- store init ran in.
DO $$
DECLARE
    f text;
BEGIN
    FOREACH f IN ARRAY ARRAY['vornex_audit_add(text,text,text,text,text,text,text)',
                             'vornex_check_bench(regclass,text)', 'vornex_vouch()',
                             'vornex_vouch_part()', 'vornex_audit_insert()'] LOOP
        EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, current_schema());
    END LOOP;
END
$$;
REVOKE EXECUTE ON FUNCTION vornex_audit_add(text, text, text, text, text, text, text),
    vornex_check_bench(regclass, text) FROM PUBLIC;

CREATE TRIGGER vornex_tests_vouch BEFORE INSERT ON vornex_tests
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch();
CREATE TRIGGER vornex_runs_vouch BEFORE INSERT ON vornex_runs
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch();
CREATE TRIGGER vornex_test_instruments_vouch BEFORE INSERT ON vornex_test_instruments
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch_part('vornex_tests', 'test_id');
CREATE TRIGGER vornex_test_events_vouch BEFORE INSERT ON vornex_test_events
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch_part('vornex_tests', 'test_id');
CREATE TRIGGER vornex_run_readings_vouch BEFORE INSERT ON vornex_run_readings
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch_part('vornex_runs', 'run_id');

-- The rows already stored enter the trail first, as they stand now.
DO $$
DECLARE
    t vornex_tests;
    i vornex_test_instruments;
    e vornex_test_events;
    r vornex_runs;
    g vornex_run_readings;
BEGIN
    FOR t IN SELECT * FROM vornex_tests ORDER BY stored, id LOOP
        PERFORM vornex_audit_add('existing', 'vornex_tests', t.id::text, NULL,
                                 (to_jsonb(t) - 'file' - 'companion')::text, NULL,
                                 vornex_row_hash(t));
    END LOOP;
    FOR i IN SELECT * FROM vornex_test_instruments ORDER BY test_id, slave LOOP
        PERFORM vornex_audit_add('existing', 'vornex_test_instruments',
                                 concat_ws('/', i.test_id, i.slave), NULL, to_jsonb(i)::text,
                                 NULL, vornex_row_hash(i));
    END LOOP;
    FOR e IN SELECT * FROM vornex_test_events ORDER BY test_id, slave, number LOOP
        PERFORM vornex_audit_add('existing', 'vornex_test_events',
                                 concat_ws('/', e.test_id, e.slave, e.number), NULL,
                                 to_jsonb(e)::text, NULL, vornex_row_hash(e));
    END LOOP;
    FOR r IN SELECT * FROM vornex_runs ORDER BY stored, id LOOP
        PERFORM vornex_audit_add('existing', 'vornex_runs', r.id::text, NULL,
                                 (to_jsonb(r) - 'file')::text, NULL, vornex_row_hash(r));
    END LOOP;
    FOR g IN SELECT * FROM vornex_run_readings ORDER BY run_id, number LOOP
        PERFORM vornex_audit_add('existing', 'vornex_run_readings',
                                 concat_ws('/', g.run_id, g.number), NULL, to_jsonb(g)::text,
                                 NULL, vornex_row_hash(g));
    END LOOP;
END
$$;

CREATE TRIGGER vornex_tests_audit AFTER INSERT ON vornex_tests
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('id');
CREATE TRIGGER vornex_test_instruments_audit AFTER INSERT ON vornex_test_instruments
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('test_id', 'slave');
CREATE TRIGGER vornex_test_events_audit AFTER INSERT ON vornex_test_events
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('test_id', 'slave', 'number');
CREATE TRIGGER vornex_runs_audit AFTER INSERT ON vornex_runs
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('id');
CREATE TRIGGER vornex_run_readings_audit AFTER INSERT ON vornex_run_readings
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('run_id', 'number');
CREATE TRIGGER vornex_bench_logins_audit AFTER INSERT ON vornex_bench_logins
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('login');

GRANT SELECT ON vornex_tests, vornex_test_instruments, vornex_test_events, vornex_runs,
    vornex_run_readings TO vornex_reviewer;
GRANT SELECT ON vornex_audit, vornex_bench_logins TO vornex_reader, vornex_reviewer;
